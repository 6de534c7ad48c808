"""Writes the release's bill of materials (SPDX 2.3, JSON) and its build record from what the
builds really used: the linker's map of each command names every archive member and object it
took, dpkg names the Debian package that holds each of those files, and the compilers and
binutils are the ones each build's CMake cache names.

    release_records.py OUT_DIR NAME VERSION ARCHIVE... -- BUILD_DIR KIT_DIR ARCHIVE ... \
        -- PACKAGE...

OUT_DIR receives NAME.spdx.json and NAME.buildinfo. The ARCHIVEs before the first "--" are
every archive of the release (in OUT_DIR); each build follows as its build folder, its kit
(the files as packed, signed where the release signs them) and the archive packed from it;
after the second "--" come the Debian packages the release installs, whose installed
dependencies the build record lists with them. The commit and its time come from git and
SOURCE_DATE_EPOCH; neither file holds the host's name, the build folder or the hour.
"""

import hashlib
import json
import os
import re
import subprocess
import sys
import time

TOOL = "installvorx release_records.py"
# Debian's short licence names (copyright format 1.0, where case does not count) that have an
# SPDX identifier.
SPDX_NAMES = {
    "apache-2.0": "Apache-2.0", "artistic": "Artistic-1.0", "bsd-2-clause": "BSD-2-Clause",
    "bsd-3-clause": "BSD-3-Clause", "bsd-4-clause": "BSD-4-Clause", "expat": "MIT",
    "mit": "MIT", "isc": "ISC", "zlib": "Zlib", "cc0-1.0": "CC0-1.0", "zpl-2.1": "ZPL-2.1",
    "gpl-1+": "GPL-1.0-or-later", "gpl-2": "GPL-2.0-only", "gpl-2+": "GPL-2.0-or-later",
    "gpl-3": "GPL-3.0-only", "gpl-3+": "GPL-3.0-or-later", "lgpl-2": "LGPL-2.0-only",
    "lgpl-2+": "LGPL-2.0-or-later", "lgpl-2.1": "LGPL-2.1-only",
    "lgpl-2.1+": "LGPL-2.1-or-later", "lgpl-3": "LGPL-3.0-only", "lgpl-3+": "LGPL-3.0-or-later",
}
# Licences a copyright file that is not machine-readable may name in its prose.
MENTIONS = ("GNU General Public License", "GNU Lesser General Public License",
            "GNU Library General Public License", "GCC Runtime Library Exception",
            "GNU Free Documentation License", "BSD", "MIT", "public domain")


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def digests(path):
    sha1, sha256 = hashlib.sha1(), hashlib.sha256()
    with open(path, "rb") as data:
        for block in iter(lambda: data.read(1 << 20), b""):
            sha1.update(block)
            sha256.update(block)
    return sha1.hexdigest(), sha256.hexdigest()


def checksums(path):
    sha1, sha256 = digests(path)
    return [{"algorithm": "SHA1", "checksumValue": sha1},
            {"algorithm": "SHA256", "checksumValue": sha256}]


def spdx_id(*parts):
    return "SPDXRef-" + re.sub(r"[^A-Za-z0-9.-]+", "-", "-".join(parts))


def linked_files(map_path, own_dirs):
    """The files outside own_dirs whose code the linker took, as a link map names them: the
    archives one of whose members it included, and the objects it loaded whole."""
    found = set()
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        section = None
        for line in lines:
            if line.startswith("Archive member included"):
                section = "archives"
            elif line.startswith(("Discarded input sections", "Memory Configuration",
                                  "Allocating common symbols")):
                section = None
            elif line.startswith("Linker script and memory map"):
                section = "loads"
            elif section == "archives" and line[:1] == "/":
                found.add(line.split("(", 1)[0])
            elif section == "loads" and line.startswith("LOAD ") and line.rstrip().endswith(".o"):
                found.add(line[5:].strip())
    # The build's own objects and libraries are named relative to the build folder.
    files = {os.path.normpath(path) for path in found if os.path.isabs(path)}
    return sorted(path for path in files
                  if not any(path.startswith(own + os.sep) for own in own_dirs))


def owners(paths):
    """{path: Debian package (with its architecture) holding it}; a path that dpkg does not
    know is looked up as the file it points to (a merged /usr, a symbolic link). One query
    for all: each reads the whole package database."""
    candidates = sorted(set(paths) | {os.path.realpath(path) for path in paths})
    result = subprocess.run(["dpkg-query", "-S"] + candidates, capture_output=True, text=True)
    holders = {}
    for line in result.stdout.splitlines():
        package, _, owned = line.partition(": ")
        if "," not in package:
            holders[owned] = package
    found = {}
    for path in paths:
        holder = holders.get(path) or holders.get(os.path.realpath(path))
        if not holder:
            sys.exit(f"release_records.py: no Debian package holds {path}, which the linker used")
        found[path] = holder
    return found


def installed():
    """{package with architecture: fields} of every installed package."""
    fields = ("binary:Package", "Package", "Architecture", "Version", "Source", "Depends",
              "Pre-Depends", "Provides", "db:Status-Abbrev")
    format_ = "\\t".join("${" + field + "}" for field in fields) + "\\n"
    table = {}
    for line in run("dpkg-query", "-W", "-f", format_).splitlines():
        row = dict(zip(fields, line.split("\t")))
        if row["db:Status-Abbrev"].startswith("ii"):
            name = row["Package"] + ":" + row["Architecture"]
            table[name] = row
    return table


def find_installed(table, name):
    """The installed package of that name (a bare name, NAME:any or NAME:ARCH), or one that
    provides it."""
    name = name.split(":")[0]
    for arch in ("amd64", "all"):
        if f"{name}:{arch}" in table:
            return f"{name}:{arch}"
    for key in sorted(table):
        if key.split(":")[0] == name:
            return key
    for key in sorted(table):
        provided = [item.split("(")[0].strip() for item in table[key]["Provides"].split(",")]
        if name in provided:
            return key
    return None


def closure(table, roots):
    """The installed packages roots name and, through Depends and Pre-Depends, all that they
    need."""
    seen, todo = set(), [find_installed(table, root) for root in roots]
    while todo:
        key = todo.pop()
        if key is None or key in seen:
            continue
        seen.add(key)
        row = table[key]
        for clause in (row["Depends"] + "," + row["Pre-Depends"]).split(","):
            alternatives = [item.split("(")[0].strip() for item in clause.split("|")]
            for alternative in filter(None, alternatives):
                match = find_installed(table, alternative)
                if match:
                    todo.append(match)
                    break
    return sorted(seen)


def copyright_licences(package):
    """(SPDX expression or NOASSERTION, what the copyright file says) for a package."""
    path = f"/usr/share/doc/{package}/copyright"
    try:
        with open(path, encoding="utf-8", errors="replace") as text:
            content = text.read()
    except OSError:
        return "NOASSERTION", f"{path} is missing."
    if not content.startswith("Format:"):
        named = [name for name in MENTIONS if name in content]
        return "NOASSERTION", (
            f"{path} is not machine-readable; it mentions: {', '.join(named) or 'no licence'}"
            " (read it for the terms).")
    names = sorted({line[8:].strip() for line in content.splitlines()
                    if line.startswith("License:") and line[8:].strip()})
    ids = sorted({SPDX_NAMES.get(name.lower())
                  or "LicenseRef-Debian-" + re.sub(r"[^A-Za-z0-9.-]+", "-", name)
                  for name in names})
    return " AND ".join(ids) or "NOASSERTION", (
        f"From {path} (best effort: the License fields of its paragraphs): {', '.join(names)}.")


def distribution():
    """debian-12, as the package URLs of Debian's packages name a release."""
    with open("/etc/os-release", encoding="utf-8") as text:
        fields = dict(line.rstrip("\n").split("=", 1) for line in text if "=" in line)
    return "debian-" + fields.get("VERSION_ID", "unknown").strip('"')


def purl(row, distro):
    version = row["Version"].replace("+", "%2B")
    return (f"pkg:deb/debian/{row['Package']}@{version}"
            f"?arch={row['Architecture']}&distro={distro}")


def configured(build_dir, name):
    """A program CMake chose for the build, as its cache or (when a toolchain file named it)
    its compiler files under CMakeFiles/ hold it."""
    with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as cache:
        for line in cache:
            key, _, value = line.rstrip("\n").partition("=")
            if key.split(":")[0] == name and value:
                return value
    setting = re.compile(r'^set\(' + name + r' "([^"]+)"\)$')
    for folder, _, names in os.walk(os.path.join(build_dir, "CMakeFiles")):
        for file in sorted(names):
            if file.startswith("CMake") and file.endswith("Compiler.cmake"):
                with open(os.path.join(folder, file), encoding="utf-8") as text:
                    for line in text:
                        match = setting.match(line.strip())
                        if match:
                            return match.group(1)
    return ""


def build_tools(build_dir):
    """The programs that compiled, assembled, linked and stripped a build: the compiler
    driver, the compiler proper, the assembler, the linker, the archiver, strip and (Windows)
    the resource compiler, each as the file it really is."""
    compiler = configured(build_dir, "CMAKE_CXX_COMPILER")
    tools = [compiler] + [configured(build_dir, name) for name in
                          ("CMAKE_AR", "CMAKE_STRIP", "CMAKE_RC_COMPILER")]
    for program in ("cc1plus", "as", "ld"):
        tools.append(run(compiler, f"-print-prog-name={program}").strip())
    paths = set()
    for tool in filter(None, tools):
        path = tool if os.sep in tool else run("sh", "-c", 'command -v "$0"', tool).strip()
        paths.add(os.path.realpath(path))
    return sorted(paths)


def executables(kit_dir):
    """The kit's executables, as names relative to the kit."""
    found = []
    for folder, _, names in os.walk(kit_dir):
        for name in names:
            path = os.path.join(folder, name)
            if name.endswith(".exe") or os.access(path, os.X_OK):
                found.append(os.path.relpath(path, kit_dir))
    return sorted(found)


def kit_files(kit_dir):
    return sorted(os.path.relpath(os.path.join(folder, name), kit_dir)
                  for folder, _, names in os.walk(kit_dir) for name in names)


def verification_code(kit_dir, names):
    """SPDX's package verification code: the SHA-1 of the files' sorted SHA-1s."""
    sums = sorted(digests(os.path.join(kit_dir, name))[0] for name in names)
    return hashlib.sha1("".join(sums).encode()).hexdigest()


class Document:
    """An SPDX 2.3 document being assembled; elements are keyed by their SPDXID, so that an
    element named twice (a library both commands link) is written once."""

    def __init__(self, table, distro):
        self.table, self.distro = table, distro
        self.packages, self.files, self.relations, self.licences = {}, {}, set(), {}

    def relate(self, element, kind, related):
        self.relations.add((element, kind, related))

    def file(self, ident, name, path, **fields):
        self.files[ident] = dict(SPDXID=ident, fileName=name, checksums=checksums(path),
                                 licenseConcluded="NOASSERTION", copyrightText="NOASSERTION",
                                 **fields)
        return ident

    def debian(self, package, purpose):
        ident = spdx_id("Debian", package)
        if ident in self.packages:
            return ident
        row = self.table[find_installed(self.table, package)]
        declared, comment = copyright_licences(row["Package"])
        for licence in re.findall(r"LicenseRef-[A-Za-z0-9.-]+", declared):
            self.licences[licence] = dict(
                licenseId=licence, name=licence[len("LicenseRef-Debian-"):],
                extractedText=f"The licence that /usr/share/doc/{row['Package']}/copyright "
                              f"names \"{licence[len('LicenseRef-Debian-'):]}\"; its terms are "
                              "in that file.")
        self.packages[ident] = dict(
            SPDXID=ident, name=row["Package"], versionInfo=row["Version"],
            supplier="Organization: Debian", downloadLocation="NOASSERTION",
            filesAnalyzed=False, licenseConcluded="NOASSERTION", licenseDeclared=declared,
            licenseComments=comment, copyrightText="NOASSERTION", primaryPackagePurpose=purpose,
            sourceInfo=f"Debian source package {row['Source'] or row['Package']}",
            externalRefs=[dict(referenceCategory="PACKAGE-MANAGER", referenceType="purl",
                               referenceLocator=purl(row, self.distro))])
        return ident

    def json(self, name, namespace, created):
        document = dict(
            spdxVersion="SPDX-2.3", dataLicense="CC0-1.0", SPDXID="SPDXRef-DOCUMENT",
            name=name, documentNamespace=namespace,
            creationInfo=dict(created=created, creators=[f"Tool: {TOOL}"]),
            packages=[self.packages[key] for key in sorted(self.packages)],
            files=[self.files[key] for key in sorted(self.files)],
            relationships=[dict(spdxElementId=a, relationshipType=kind, relatedSpdxElement=b)
                           for a, kind, b in sorted(self.relations)])
        if self.licences:
            document["hasExtractedLicensingInfos"] = [self.licences[key]
                                                      for key in sorted(self.licences)]
        return json.dumps(document, indent=2, sort_keys=True, ensure_ascii=False) + "\n"


def add_build(document, source, root, build_dir, kit_dir, archive):
    """The archive packed from one build, its files, and for each executable the Debian
    packages it links statically and the tools that made it."""
    files = kit_files(kit_dir)
    package = spdx_id("Package", archive)
    document.packages[package].update(
        filesAnalyzed=True, hasFiles=[spdx_id("File", archive, name) for name in files],
        packageVerificationCode=dict(packageVerificationCodeValue=verification_code(kit_dir,
                                                                                    files)))
    for name in files:
        ident = document.file(spdx_id("File", archive, name), "./" + name,
                              os.path.join(kit_dir, name))
        document.relate(package, "CONTAINS", ident)
    linked = {name: linked_files(link_map(build_dir, name), (root, os.path.abspath(build_dir)))
              for name in executables(kit_dir)}
    tools = build_tools(build_dir)
    holders = owners(tools + [path for paths in linked.values() for path in paths])
    for name, used in linked.items():
        exe = spdx_id("File", archive, name)
        document.files[exe]["fileTypes"] = ["BINARY"]
        document.relate(exe, "GENERATED_FROM", source)
        for path in used:
            library = document.debian(holders[path], "LIBRARY")
            version = document.packages[library]["versionInfo"]
            ident = document.file(spdx_id("File", path), path, path,
                                  comment=f"From the Debian package {holders[path]} {version}.")
            document.relate(exe, "STATIC_LINK", ident)
            document.relate(exe, "STATIC_LINK", library)
        for tool in sorted({holders[tool] for tool in tools}):
            document.relate(document.debian(tool, "APPLICATION"), "BUILD_TOOL_OF", exe)
    return files


def link_map(build_dir, executable):
    path = os.path.join(build_dir, os.path.basename(executable) + ".map")
    if not os.path.isfile(path):
        sys.exit(f"release_records.py: {path} is missing (a build with IVX_LINK_MAPS)")
    return path


def archive_package(document, source, version, commit, path):
    name = os.path.basename(path)
    ident = spdx_id("Package", name)
    sha1, sha256 = digests(path)
    document.packages[ident] = dict(
        SPDXID=ident, name=name, packageFileName=name, versionInfo=version,
        downloadLocation="NOASSERTION", filesAnalyzed=False, primaryPackagePurpose="ARCHIVE",
        checksums=[{"algorithm": "SHA1", "checksumValue": sha1},
                   {"algorithm": "SHA256", "checksumValue": sha256}],
        licenseConcluded="NOASSERTION", licenseDeclared="NOASSERTION",
        copyrightText="NOASSERTION", sourceInfo=f"Built from commit {commit}.")
    document.relate("SPDXRef-DOCUMENT", "DESCRIBES", ident)
    document.relate(ident, "GENERATED_FROM", source)
    return sha256


def build_record(name, version, commit, epoch, table, packages, sums):
    """The fields of a Debian .buildinfo that a second builder needs to set up the same
    toolchain and compare."""
    depends = ",\n".join(f" {table[key]['Package']} (= {table[key]['Version']})"
                         for key in sorted(closure(table, packages),
                                           key=lambda key: table[key]["Package"]))
    lines = [
        "Format: 1.0", f"Source: {name}", f"Version: {version}", f"Git-Commit: {commit}",
        f"Build-Architecture: {run('dpkg', '--print-architecture').strip()}",
        f"Build-Distribution: {distribution()}",
        "Build-Date: " + time.strftime("%a, %d %b %Y %H:%M:%S +0000", time.gmtime(epoch)),
        "Environment:", ' LC_ALL="C"', f' SOURCE_DATE_EPOCH="{epoch}"',
        "Checksums-Sha256:"] + [f" {sha256} {size} {file}" for file, sha256, size in sums] + [
        "Installed-Build-Depends:", depends]
    return "\n".join(lines) + "\n"


def split(arguments):
    archives = arguments[:arguments.index("--")]
    rest = arguments[len(archives) + 1:]
    builds = rest[:rest.index("--")]
    if len(builds) % 3:
        sys.exit("release_records.py: each build is BUILD_DIR KIT_DIR ARCHIVE")
    return archives, [builds[i:i + 3] for i in range(0, len(builds), 3)], \
        rest[len(builds) + 1:]


def main(arguments):
    out_dir, name, version = arguments[:3]
    archives, builds, packages = split(arguments[3:])
    root = run("git", "rev-parse", "--show-toplevel").strip()
    commit = run("git", "rev-parse", "HEAD").strip()
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    document = Document(installed(), distribution())
    source = spdx_id("Source", name)
    document.packages[source] = dict(
        SPDXID=source, name=name, versionInfo=commit, downloadLocation="NOASSERTION",
        filesAnalyzed=False, primaryPackagePurpose="SOURCE", licenseConcluded="NOASSERTION",
        licenseDeclared="NOASSERTION", copyrightText="NOASSERTION",
        sourceInfo=f"The git commit {commit}, dated by SOURCE_DATE_EPOCH {epoch}.")
    sums = []
    for archive in archives:
        path = os.path.join(out_dir, archive)
        sums.append((archive, archive_package(document, source, version, commit, path),
                     os.path.getsize(path)))
    for build_dir, kit_dir, archive in builds:
        for file in executables(kit_dir):
            path = os.path.join(kit_dir, file)
            sums.append((f"{archive}:{file}", digests(path)[1], os.path.getsize(path)))
        add_build(document, source, root, build_dir, kit_dir, archive)
    created = time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(epoch))
    namespace = f"https://spdx.org/spdxdocs/{name}-{version}-{commit}"
    with open(os.path.join(out_dir, f"{name}.spdx.json"), "w", encoding="utf-8") as out:
        out.write(document.json(f"{name} {version}", namespace, created))
    with open(os.path.join(out_dir, f"{name}.buildinfo"), "w", encoding="utf-8") as out:
        out.write(build_record(name, version, commit, epoch, document.table, packages, sums))


if __name__ == "__main__":
    main(sys.argv[1:])
