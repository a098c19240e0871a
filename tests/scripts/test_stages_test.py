#!/usr/bin/env python3
"""scripts/test-stages.sh with made-up stages: work run beside the others is counted as
exactly as a stage in the foreground, shown when collected, and really runs beside."""
import pathlib
import subprocess
import tempfile
import time
import unittest

LIBRARY = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "test-stages.sh"
# Work beside the stages that runs ctest, collected as scripts/test.sh would.
COLLECT_CTEST = 'collect_ctest() { local s=0; side_collect "$1" "$2" || s=$?; settle_ctest "$1" "$s"; }'
SUMMARY = 'echo "$passed_total passed, $failed_total failed; failed: ${failed[*]}"'


class TestStages(unittest.TestCase):
    def run_script(self, body):
        logs = tempfile.TemporaryDirectory()
        self.addCleanup(logs.cleanup)
        script = f"set -euo pipefail\nsource '{LIBRARY}'\n{COLLECT_CTEST}\n{body}\n{SUMMARY}\n"
        run = subprocess.run(["bash", "-c", script], capture_output=True, text=True,
                             env={"PATH": "/usr/bin:/bin", "KORVANE_TEST_LOGS": logs.name},
                             timeout=60)
        self.assertEqual(run.returncode, 0, run.stderr)
        return run.stdout

    def summary(self, body):
        return self.run_script(body).strip().splitlines()[-1]

    def test_ctest_beside_counts_each_test_and_names_the_failing_stage(self):
        self.assertEqual(self.summary(
            "side_start good echo '100% tests passed, 0 tests failed out of 3'\n"
            "side_start bad bash -c 'echo \"50% tests passed, 2 tests failed out of 4\"; exit 8'\n"
            "collect_ctest good 'good'\ncollect_ctest bad 'bad'"),
            "5 passed, 2 failed; failed: bad")

    def test_what_runs_no_test_fails_beside_as_in_front(self):
        self.assertEqual(self.summary(
            "side_start quiet echo nothing\ncollect_ctest quiet 'quiet'\n"
            "ctest_stage front echo nothing"),
            "0 passed, 2 failed; failed: quiet (no tests ran) front (no tests ran)")

    def test_a_failed_build_beside_is_one_failure_and_stops_what_needs_it(self):
        out = self.run_script(
            "side_start win bash -c 'echo \"0 tests failed out of 9\"; exit 2'\n"
            "if collect_build win 'win'; then echo tests-of-win; fi\n"
            "side_start lin true\nif collect_build lin 'lin'; then echo tests-of-lin; fi")
        self.assertNotIn("tests-of-win", out)
        self.assertIn("tests-of-lin", out)
        self.assertTrue(out.endswith("0 passed, 1 failed; failed: win\n"), out)

    def test_work_never_started_or_killed_is_a_failure(self):
        self.assertEqual(self.summary(
            "side_start killed sleep 3\nkill \"${side_pid[killed]}\"\n"
            "collect_check killed 'killed'\ncollect_check absent 'absent'\n"
            "side_start fine true\ncollect_check fine 'fine'"),
            "1 passed, 2 failed; failed: killed absent")

    def test_work_beside_runs_beside_and_shows_its_log_when_collected(self):
        started = time.monotonic()
        out = self.run_script(
            "side_start one bash -c 'sleep 2; echo first-log'\n"
            "side_start two bash -c 'sleep 2; echo second-log'\n"
            "echo before-collecting\n"
            "collect_check one 'one thing'\ncollect_check two 'two things'\n"
            'printf "%s\\n" "${side_times[@]}"')
        self.assertLess(time.monotonic() - started, 3.5)
        self.assertLess(out.index("before-collecting"), out.index("first-log"))
        self.assertLess(out.index("first-log"), out.index("second-log"))
        self.assertRegex(out, r"\s+2 s  one thing\n\s+2 s  two things\n")


if __name__ == "__main__":
    unittest.main()
