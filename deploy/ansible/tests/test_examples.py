"""The example inventories of the README: the same text in both places, and variables that the
role accepts, with their settings files."""

import os
import shutil
import subprocess
import unittest

import fleet

HERE = os.path.dirname(os.path.abspath(__file__))
INVENTORIES = [os.path.join(HERE, "..", "inventory", name)
               for name in ("windows.yml", "linux.yml")]


class ExampleInventoryTest(unittest.TestCase):
    def test_the_readme_shows_the_inventory_as_it_is(self):
        for path in INVENTORIES:
            with self.subTest(path), open(path, encoding="utf-8") as inventory, \
                    open(os.path.join(HERE, "..", "README.md"), encoding="utf-8") as readme:
                self.assertIn("```yaml\n" + inventory.read() + "```\n", readme.read())

    def test_every_host_of_the_inventory_has_variables_the_role_accepts(self):
        check = fleet.Build().check
        for path in INVENTORIES:
            folder = fleet.new_folder("vorx-example-")
            try:
                run = subprocess.run(
                    ["ansible-playbook", "-i", path, "-e", f"vorx_check_command={check}",
                     os.path.join(HERE, "example_inventory.yml")],
                    env=fleet.ansible_environment(folder), stdout=subprocess.PIPE,
                    stderr=subprocess.STDOUT, text=True, check=False)
            finally:
                shutil.rmtree(folder, ignore_errors=True)
            with self.subTest(path):
                self.assertEqual(run.returncode, 0, run.stdout)
                self.assertNotIn("failed=1", run.stdout)


if __name__ == "__main__":
    unittest.main()
