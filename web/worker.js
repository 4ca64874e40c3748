
// The page's worker: one request at a time, answered with the calculation's
// JSON. The page ends a long count by ending the worker and starting another.
let vkxModule = createVkx();
onmessage = async (event) => {
  const mod = await vkxModule;
  const request = JSON.stringify(event.data.request);
  const size = mod.lengthBytesUTF8(request) + 1;
  const text = mod._malloc(size);
  mod.stringToUTF8(request, text, size);
  const started = performance.now();
  const answer = mod._vkx_web_run(text);
  mod._free(text);
  const reply = JSON.parse(mod.UTF8ToString(answer));
  mod._free(answer);
  reply.ms = performance.now() - started;
  postMessage({kind: "answer", id: event.data.id, reply: reply});
};
vkxModule.then(() => postMessage({kind: "ready"}));
