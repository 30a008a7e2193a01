"""The macOS workflow is valid YAML and has the jobs and steps the project relies on.

Usage: workflow_test.py SOURCE_DIRECTORY
"""
import pathlib
import re
import sys
import unittest

import yaml

SOURCE = pathlib.Path(sys.argv.pop(1)) if len(sys.argv) > 1 else pathlib.Path(__file__).parents[2]
WORKFLOW = SOURCE / ".github" / "workflows" / "macos.yml"
BREW_FORMULAS = ["qt", "libplist", "nlohmann-json", "googletest", "google-benchmark", "pkgconf", "openssl@3"]


def runs(job):
    return [step.get("run", "") for step in job["steps"]]


def step_running(job, pattern):
    matching = [step for step in job["steps"] if re.search(pattern, step.get("run", ""))]
    return matching[0] if matching else None


class WorkflowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.workflow = yaml.safe_load(WORKFLOW.read_text(encoding="utf-8"))
        cls.jobs = cls.workflow["jobs"]

    def test_it_runs_on_every_push_and_by_hand(self):
        # YAML 1.1 reads the key `on` as the Boolean true.
        triggers = self.workflow.get("on", self.workflow.get(True))
        self.assertIn("push", triggers)
        self.assertIn("pull_request", triggers)
        self.assertIn("workflow_dispatch", triggers)

    def test_every_step_does_something_and_no_job_runs_forever(self):
        for name, job in self.jobs.items():
            self.assertIn("timeout-minutes", job, name)
            for step in job["steps"]:
                self.assertTrue(("run" in step) != ("uses" in step), f"{name}: {step}")
                self.assertIn("name", step, f"{name}: {step}")

    def test_the_mac_job_builds_tests_smoke_tests_and_uploads_the_disk_image(self):
        mac = self.jobs["macos"]
        self.assertTrue(mac["runs-on"].startswith("macos-"))
        self.assertTrue(mac["steps"][0]["uses"].startswith("actions/checkout@"))
        install = step_running(mac, r"\bbrew install\b")
        self.assertIsNotNone(install)
        for formula in BREW_FORMULAS:
            self.assertRegex(install["run"], rf"(?<![\w-]){re.escape(formula)}(?![\w-])")

        order = [step_running(mac, pattern) for pattern in
                 [r"\bcmake -S \. -B build\b", r"\bcmake --build build\b", r"\bctest --test-dir build\b",
                  r"--smoke-test", r"\bcpack\b"]]
        self.assertNotIn(None, order)
        positions = [mac["steps"].index(step) for step in order]
        self.assertEqual(positions, sorted(positions), "configure, build, test, smoke test, package")
        self.assertIn("brew --prefix qt", step_running(mac, r"\bcmake -S").get("run"))

        upload = [step for step in mac["steps"] if step.get("uses", "").startswith("actions/upload-artifact@")]
        self.assertEqual(len(upload), 1)
        self.assertTrue(upload[0]["with"]["path"].endswith(".dmg"))
        self.assertEqual(upload[0]["with"].get("if-no-files-found"), "error")

    def test_the_smoke_test_starts_the_bundle_cmake_builds(self):
        mac = self.jobs["macos"]
        app_cmake = (SOURCE / "src" / "app" / "CMakeLists.txt").read_text(encoding="utf-8")
        output_name = re.search(r'OUTPUT_NAME "([^"]+)"', app_cmake).group(1)
        executables_folder = re.search(r"CMAKE_RUNTIME_OUTPUT_DIRECTORY \$\{CMAKE_BINARY_DIR\}/(\w+)",
                                       (SOURCE / "CMakeLists.txt").read_text(encoding="utf-8")).group(1)
        expected = f"build/{executables_folder}/{output_name}.app/Contents/MacOS/{output_name}"
        self.assertIn(expected, step_running(mac, r"--smoke-test")["run"])

    def test_the_linux_job_runs_what_the_projects_ci_runs_on_debian_12(self):
        linux = self.jobs["linux"]
        self.assertEqual(linux.get("container"), "debian:12")
        self.assertIn("make test", runs(linux))
        self.assertIn("make test", (SOURCE / ".ci" / "run").read_text(encoding="utf-8"))


if __name__ == "__main__":
    unittest.main()
