// The fixture of the engine tests: a recording UI, a SetupContext over a
// package module, a helper journal, and a clean registry and start menu.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "EngineTestSupport.h"
#include "SetupContext.h"
#include "SorrelInstall.h"

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Builds the context over a module holding archive; install path set.
  void Open(const std::vector<uint8_t>& archive, const std::string& installPath, bool withResource = true);
  CSorrelInstall& Engine() { return *static_cast<CSorrelInstall*>(context->engine); }
  std::vector<std::vector<std::string>> Journal() { return ReadJournal(journal); }
  // Messages as "type:text" for readable failures.
  std::vector<std::string> MessageTexts() const;
  std::string TestName() const;

  RecordingUi ui;
  std::unique_ptr<PackageModule> module;
  std::unique_ptr<SetupContext> context;
  std::string journal;
  std::string installPath;
};

// The start-menu group folder of the product.
std::string ProductGroupDir();
