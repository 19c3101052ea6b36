// Checks the project's Markdown (README.md, docs/ and any other .md that
// git tracks or would track) two ways: markdownlint's rules, as set in
// .markdownlint.jsonc beside this script, and remark-validate-links, which
// finds every relative link, image and #anchor, in the same file or in
// another, that does not resolve, with GitHub's heading slugs. Then proves
// that each check still has teeth: each Markdown file in known-bad/ must be
// refused, by the problem that its first line names in brackets.
//
// Usage: node lint-markdown.mjs <repository root>
import { execFileSync } from "node:child_process";
import { existsSync, readFileSync, readdirSync } from "node:fs";
import { dirname, join, relative, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { lint, readConfig } from "markdownlint-cli2/markdownlint/promise";
import jsoncParse from "markdownlint-cli2/parsers/jsonc";
import { remark } from "remark";
import remarkValidateLinks from "remark-validate-links";
import { engine } from "unified-engine";

const here = dirname(fileURLToPath(import.meta.url));
const root = resolve(process.argv[2] ?? join(here, "..", ".."));
const knownBad = join(here, "known-bad");
const config = await readConfig(join(here, ".markdownlint.jsonc"), [jsoncParse]);

// Untracked files count too (a new page in docs/ is checked before it is
// added); what .gitignore leaves out (build/, node_modules/) does not, nor
// a tracked file already deleted. The known-bad files are not the
// project's documents: they are only checked to be refused.
function projectFiles() {
  const listed = execFileSync(
    "git", ["ls-files", "-z", "--cached", "--others", "--exclude-standard", "--",
            ":(icase)*.md", ":(icase)*.markdown"],
    { cwd: root, encoding: "utf8" });
  return [...new Set(listed.split("\0"))]
    .filter((name) => name && !name.startsWith("tools/lint/known-bad/"))
    .map((name) => join(root, name))
    .filter((path) => existsSync(path))
    .sort();
}

async function styleProblems(paths) {
  // A file may not switch the rules off for itself.
  const results = await lint({ files: paths, config, noInlineConfig: true });
  return new Map(paths.map((path) => [path, results[path].map((e) => ({
    line: e.lineNumber,
    column: e.errorRange?.[0] ?? 0,
    text: `${e.lineNumber}${e.errorRange ? `:${e.errorRange[0]}` : ""}: ${e.ruleDescription}` +
          (e.errorDetail ? ` (${e.errorDetail})` : "") +
          (e.errorContext ? ` "${e.errorContext}"` : ""),
    rules: e.ruleNames.slice(0, 2),
  }))]));
}

// GitHub's conventions without its host or a git remote: a stand-in owner
// and name only let a root-relative link (/docs/x.md) resolve from the
// repository root as GitHub does. #L12 (a
// line of a file) and #readme are GitHub's own anchors. Full URLs are
// never fetched.
const github = {
  hostname: "github.com", prefix: "/owner/name/blob/", resolveAbsolutePathsInRepo: true,
  headingPrefix: "#", lines: true, topAnchor: "#readme",
};

// The engine, not remark alone: only it lets the plugin read the headings
// of the other files that links point into.
function linkProblems(paths) {
  return new Promise((done, fail) => {
    engine({
      processor: remark,
      plugins: [[remarkValidateLinks, { repository: false, root, urlConfig: github }]],
      files: paths,
      cwd: root,
      out: false,  // (with one file it would print the file back)
      detectConfig: false,
      detectIgnore: false,
      reporter: () => "",
    }, (error, _code, context) => {
      if (error) return fail(error);
      const found = new Map(paths.map((path) => [path, []]));
      for (const file of context.files) {
        const path = resolve(root, file.path);
        if (!found.has(path)) continue;  // a file opened only for its headings
        for (const m of file.messages)
          found.get(path).push({
            line: m.line ?? 0,
            column: m.column ?? 0,
            text: `${m.line ?? 0}:${m.column ?? 0}: ${m.reason}`,
            rules: [m.ruleId ?? "link"],
          });
      }
      // A file the engine did not hand back was not checked at all.
      const checked = new Set(context.files.map((file) => resolve(root, file.path)));
      const missed = paths.filter((path) => !checked.has(path));
      if (missed.length) return fail(new Error(`links not checked in ${missed.join(", ")}`));
      done(found);
    });
  });
}

async function problems(paths) {
  const style = await styleProblems(paths);
  const links = await linkProblems(paths);
  return new Map(paths.map((path) => [path, [...style.get(path), ...links.get(path)]
    .sort((a, b) => a.line - b.line || a.column - b.column)
    .map((p) => ({ ...p, text: `${p.text} [${p.rules.join("/")}]` }))]));
}

let failed = false;
const files = projectFiles();
if (files.length === 0) {
  console.log("lint: no Markdown found");
  failed = true;
}
for (const [path, found] of await problems(files)) {
  console.log(`${found.length ? "FAIL" : "ok"}: ${relative(root, path)}`);
  for (const p of found) console.log(`  ${p.text}`);
  failed ||= found.length > 0;
}

// Each known-bad file names, in brackets on its first line, the rule that
// must refuse it: refused for some other fault, it would not show that
// this one is still caught.
const bad = readdirSync(knownBad).filter((name) => name.endsWith(".md")).sort()
  .map((name) => join(knownBad, name));
for (const [path, found] of await problems(bad)) {
  const expected = /^<!--.*\[([\w-]+)\]/.exec(readFileSync(path, "utf8"))?.[1];
  const refusal = found.find((p) => p.rules.includes(expected));
  const name = relative(root, path);
  if (expected === undefined)
    console.log(`FAIL: refuses ${name}: its first line names no rule`);
  else if (refusal)
    console.log(`ok: refuses ${name} (${refusal.text})`);
  else
    console.log(`FAIL: refuses ${name}: no [${expected}] problem reported` +
                (found.length ? ` (only ${found[0].text})` : ""));
  failed ||= refusal === undefined;
}
process.exit(failed ? 1 : 0);
