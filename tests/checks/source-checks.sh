#!/usr/bin/env bash
# The checks setup.sh runs on the sources before it builds, exactly as it runs
# them, so the table in no-comma-after-assertion-test.sh tests this command and
# not a copy of it. ROOT (default: the repository) holds the folders read.
set -u
ROOT="${1:-$(cd "$(dirname "$0")/../.." && pwd)}"
CHECKS="$(cd "$(dirname "$0")" && pwd)"
cd "$ROOT" || exit 2

# All randomness goes through the platform's generator.
if grep -rnE '(^|[^_[:alnum:]:.])(std::)?s?rand[[:space:]]*\(' --include='*.cpp' --include='*.h' \
     app input camera glf math sim world modes tools bench fuzz 2>/dev/null | grep -v 'Sys_'; then
  echo "error: call Sys_Random/Sys_SeedRandom instead of rand/srand"; exit 1
fi

# `EXPECT_X(a), f();` runs f only when the assertion fails.
if ! perl "$CHECKS/no-comma-after-assertion.pl" tests; then
  echo "error: an assertion followed by a comma expression: end the statement instead"; exit 1
fi
