#!/usr/bin/env bash
# VARNEL_LANGUAGE=en: the help key (the accelerator kept in English) opens
# the English guide; the stored choice does the same without the variable,
# and the environment wins over it.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x

help_link() { cat "$XDG_DATA_HOME/Quillon/varnel/varnel_help.desktop" 2>/dev/null; }
press_help() {
  rm -f "$XDG_DATA_HOME/Quillon/varnel/varnel_help.desktop"
  key alt+h
  wait_for "help_link | grep -q '^URL='" 10 || { cat "$E2E_TMP/app.log"; fail "help opened nothing"; }
}
stop_app() { kill "$APP_PID"; wait "$APP_PID" 2>/dev/null || true; }

export VARNEL_LANGUAGE=en
start_app
press_help
help_link | grep -q '^URL=file://.*/en/varnel\.htm$' || fail "English window, guide: $(help_link | grep URL)"
stop_app

# The stored choice, without the variable; then the variable wins over it.
unset VARNEL_LANGUAGE
write_user_xml "$E2E_TMP/data/Quillon/varnel" "   <ﾕｰｻﾞｰ>" "      <Language>en</Language>" "   </ﾕｰｻﾞｰ>"
start_app
press_help
help_link | grep -q '^URL=file://.*/en/varnel\.htm$' || fail "stored English, guide: $(help_link | grep URL)"
stop_app
VARNEL_LANGUAGE=ja
export VARNEL_LANGUAGE
start_app
press_help
help_link | grep -q '^URL=file://.*/help/varnel\.htm$' || fail "VARNEL_LANGUAGE=ja, guide: $(help_link | grep URL)"
stop_app
echo "PASS"
