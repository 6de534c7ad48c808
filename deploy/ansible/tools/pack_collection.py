"""Makes the collection's archive reproducible: reads the archive that `ansible-galaxy
collection build` made and writes the same collection again with the bytes fixed by its
content alone. Galaxy dates every entry and the gzip header with the hour of the build and
lists the files in the order the file system gives them; here the entries are sorted, dated
SOURCE_DATE_EPOCH, owned by 0/0, FILES.json lists its files sorted (and MANIFEST.json holds
its new digest, as galaxy computes it), and gzip stores no name and no time.

    pack_collection.py GALAXY_ARCHIVE ARCHIVE      (SOURCE_DATE_EPOCH in the environment)
"""

import gzip
import hashlib
import io
import json
import os
import sys
import tarfile

FIRST = ("MANIFEST.json", "FILES.json")  # where galaxy puts them


def members(path):
    """{name: (TarInfo, bytes or None)} of an archive."""
    found = {}
    with tarfile.open(path, "r:gz") as archive:
        for info in archive.getmembers():
            data = archive.extractfile(info).read() if info.isfile() else None
            found[info.name] = (info, data)
    return found


def fixed_manifests(found):
    files = json.loads(found["FILES.json"][1])
    files["files"].sort(key=lambda entry: entry["name"])
    files_json = json.dumps(files, indent=True).encode("utf-8")
    manifest = json.loads(found["MANIFEST.json"][1])
    manifest["file_manifest_file"]["chksum_sha256"] = hashlib.sha256(files_json).hexdigest()
    return {"MANIFEST.json": json.dumps(manifest, indent=True).encode("utf-8"),
            "FILES.json": files_json}


def main():
    source, target = sys.argv[1:3]
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    found = members(source)
    found.update({name: (found[name][0], data) for name, data in fixed_manifests(found).items()})
    order = list(FIRST) + sorted(name for name in found if name not in FIRST)
    raw = io.BytesIO()
    with tarfile.open(fileobj=raw, mode="w", format=tarfile.USTAR_FORMAT) as archive:
        for name in order:
            info, data = found[name]
            info.mtime, info.uid, info.gid, info.uname, info.gname = epoch, 0, 0, "", ""
            if data is not None:
                info.size = len(data)
            archive.addfile(info, io.BytesIO(data) if data is not None else None)
    with open(target + ".partial", "wb") as out:
        with gzip.GzipFile(filename="", mode="wb", fileobj=out, mtime=0, compresslevel=9) as zipped:
            zipped.write(raw.getvalue())
    os.replace(target + ".partial", target)


if __name__ == "__main__":
    main()
