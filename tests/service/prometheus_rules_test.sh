#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The example alerting rules: valid for promtool, and they fire as their tests say.
# Usage: prometheus_rules_test.sh RULES_FILE RULE_TEST_FILE. 77 when promtool is missing.
set -euo pipefail
rules="$1"
rule_test="$2"
if ! command -v promtool >/dev/null; then
  echo "SKIP: promtool is not installed"
  exit 77
fi
promtool check rules "$rules"
# The test file names the rules file beside it.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$rules" "$work/ondalink-nmsd.rules.yml"
cp "$rule_test" "$work/rules_test.yml"
cd "$work"
promtool test rules rules_test.yml
