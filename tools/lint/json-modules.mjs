// GitHub's workflow parser imports its schema, a JSON file, without the
// import attribute that Node asks for; this loader hook adds it. (Older
// Nodes call the attributes "assertions".)
export async function load(url, context, next) {
  if (url.endsWith(".json")) {
    const key = "importAttributes" in context ? "importAttributes" : "importAssertions";
    return next(url, { ...context, [key]: { type: "json" } });
  }
  return next(url, context);
}
