// Resource identifiers of the setup program.
#pragma once
#define IDR_MAINFRAME 128        // icon group
#define IDS_ABOUTBOX 101
#define IDR_PACKAGE 137          // PACKED_DATA: the install package
#define IDR_PACKED_FLAG1 142     // PACKED_DATA: one byte, not read
#define IDR_PACKED_FLAG2 144     // PACKED_DATA: one byte, not read
