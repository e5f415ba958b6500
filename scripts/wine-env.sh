# Sourced: the environment every Wine run of this project uses.
export LC_ALL=zh_CN.UTF-8          # ANSI code page 936
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts in fresh prefixes.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
