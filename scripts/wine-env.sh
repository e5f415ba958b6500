# Sourced: the environment every Wine run of this project uses.
export LC_ALL=zh_CN.UTF-8          # ANSI code page 936
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts in fresh prefixes; no menu builder started
# for every shortcut the tests save.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

# True where 32-bit x86 code runs only through qemu's user-mode emulator (a
# virtual machine without 32-bit user mode). A 32-bit Wine prefix is then
# impractical: every process of it, the prefix's own services included, takes
# about a minute to start, and the emulated loader crashes now and then.
i386_emulated() {
  grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386
}
win32_prefix_unavailable() {
  [ "${WINE_RUN_WIN32:-0}" != 1 ] && i386_emulated
}
