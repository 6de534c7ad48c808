"""Validates every JSON report of installvorx-check that the end-to-end tests kept.

    validate_reports.py SCHEMA FOLDER

Fails when the schema is no valid JSON Schema, when the folder holds no report (the tests
kept none: nothing would be shown), when a report breaks the schema, or when the schema
lets through a report with a field it does not name (a field added to the report must be
added to the schema too).
"""
import json
import pathlib
import sys

import jsonschema


def main(schema_path, folder):
    schema = json.loads(pathlib.Path(schema_path).read_text(encoding="utf-8"))
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    validator = validator_class(schema)
    reports = sorted(pathlib.Path(folder).glob("*.json"))
    if not reports:
        print(f"no reports in {folder}: run the end-to-end tests first")
        return 1
    failures = 0
    files = 0
    for path in reports:
        report = json.loads(path.read_text(encoding="utf-8"))
        files += len(report)
        for error in validator.iter_errors(report):
            failures += 1
            where = "/".join(str(part) for part in error.absolute_path)
            print(f"{path.name}: at /{where}: {error.message}")
    first = json.loads(reports[0].read_text(encoding="utf-8"))
    if first:
        first[0]["unnamed_field"] = True
        if validator.is_valid(first):
            failures += 1
            print("the schema lets through a field it does not name")
    print(f"{len(reports)} reports of {files} files checked, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print("usage: validate_reports.py SCHEMA FOLDER")
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
