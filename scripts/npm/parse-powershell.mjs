// Parses each PowerShell file named on the command line with tree-sitter's PowerShell grammar
// and prints file:line:column for every node the parser had to invent (MISSING) or could not
// place (ERROR); exits 1 when any file has one, 2 when a file cannot be read.
// Usage: node scripts/npm/parse-powershell.mjs FILE.ps1...
import { readFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { setFlagsFromString } from "node:v8";

// The grammar is a large WebAssembly module: V8's optimising compiler would go on compiling
// it in the background for a minute after the parse, and Node waits for that before it ends.
// The baseline compiler alone parses a file in well under a second.
setFlagsFromString("--liftoff-only");
const { Language, Parser } = await import("web-tree-sitter");

const here = dirname(fileURLToPath(import.meta.url));
const grammar = join(here, "node_modules", "tree-sitter-powershell", "tree-sitter-powershell.wasm");

// The nodes where the parse went wrong, outermost first; a subtree without errors is skipped.
function* faults(node) {
  if (node.isError || node.isMissing) {
    yield node;
    if (node.isMissing) return;
  }
  if (!node.hasError && !node.isError) return;
  for (const child of node.children) yield* faults(child);
}

function describe(file, node) {
  // tree-sitter counts rows and columns from 0; editors and compilers from 1.
  const where = `${file}:${node.startPosition.row + 1}:${node.startPosition.column + 1}`;
  if (node.isMissing) return `${where}: missing ${node.type}`;
  const text = node.text.split("\n")[0].slice(0, 60);
  return `${where}: syntax error at ${JSON.stringify(text)}`;
}

async function main(files) {
  if (files.length === 0) {
    console.error("usage: parse-powershell.mjs FILE.ps1...");
    return 2;
  }
  await Parser.init();
  const parser = new Parser();
  parser.setLanguage(await Language.load(grammar));
  let status = 0;
  for (const file of files) {
    let text;
    try {
      text = readFileSync(file, "utf8");
    } catch (error) {
      console.error(`${file}: cannot be read: ${error.message}`);
      status = 2;
      continue;
    }
    const tree = parser.parse(text);
    for (const node of faults(tree.rootNode)) {
      console.error(describe(file, node));
      status = Math.max(status, 1);
    }
    tree.delete();
  }
  return status;
}

process.exitCode = await main(process.argv.slice(2));
