// Drives the reference server with the official OpenAI client for Node, as a user's program would:
// one whole chat completion, one streamed and read by async iteration, and the model list. Prints
// what the client made of each as one JSON object; the calling test judges it. Exits non-zero, with
// the client's own error, when a call fails.
//
// Where and with what: TAVRIN_BASE_URL (the server's /v1) and TAVRIN_API_KEY in the environment,
// never on the command line; the client package from NODE_PATH (the build's node-clients folder).
'use strict';

const { OpenAI } = require('openai');
const { VERSION } = require('openai/version');

async function main() {
  const client = new OpenAI({
    baseURL: process.env.TAVRIN_BASE_URL,
    apiKey: process.env.TAVRIN_API_KEY,
    maxRetries: 0, // a retry would hide the first answer's fault
    timeout: 8000,
  });
  const messages = [{ role: 'user', content: 'Tell me about tides.' }];
  const model = process.env.TAVRIN_MODEL;

  const whole = await client.chat.completions.create({ model, messages });

  const stream = await client.chat.completions.create({
    model,
    messages,
    stream: true,
    stream_options: { include_usage: true },
  });
  const streamed = { content: '', chunks: 0, usage: null, finishReason: null };
  for await (const chunk of stream) {
    streamed.chunks += 1;
    for (const choice of chunk.choices) {
      streamed.content += choice.delta?.content ?? '';
      streamed.finishReason = choice.finish_reason ?? streamed.finishReason;
    }
    if (chunk.usage) streamed.usage = chunk.usage;
  }

  const models = [];
  for await (const entry of client.models.list()) models.push(entry.id);

  process.stdout.write(JSON.stringify({
    client: VERSION,
    whole: {
      content: whole.choices[0]?.message?.content ?? null,
      finishReason: whole.choices[0]?.finish_reason ?? null,
      usage: whole.usage ?? null,
    },
    streamed,
    models,
  }) + '\n');
}

main().catch((error) => {
  process.stderr.write(`${error?.constructor?.name ?? 'Error'}: ${error?.message ?? error}\n`);
  process.exit(1);
});
