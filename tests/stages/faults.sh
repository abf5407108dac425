#!/usr/bin/env bash
# Stage: whole runs of the tool under real faults (build/fault_test): a small
# tmpfs that fills up, a file-size limit, SIGINT, SIGTERM and SIGKILL at
# random moments, two runs at once on one output root, DHE files that cannot
# be made. Cases that need root (mounts) are skipped with the reason when not
# run as root. As root the suite runs in a mount namespace of its own, so
# that no mount it makes outlives it.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [ ! -x build/fault_test ]; then
  bash tests/native_build.sh fault_test >/dev/null
fi
start=$SECONDS
if [ "$(id -u)" = 0 ] && unshare -m --propagation private true 2>/dev/null; then
  unshare -m --propagation private build/fault_test --gtest_brief=1
else
  echo "faults: not root or no mount namespace: mount cases are skipped"
  build/fault_test --gtest_brief=1
fi
echo "faults: $((SECONDS - start)) s"
