// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The Chromium driver's answers (scripts/lib/web.mjs): an answer that belongs
// to a session that has gone, sent back without the session's id, is not
// taken for the browser's own command of the same number; every other answer
// reaches its command. No browser: a connection over a transport that records
// what is sent and is handed the answers by hand.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Connection } from 'puppeteer-core/internal/cdp/Connection.js';
import { dropStrayAnswers, kStrayAnswerCode } from '../../scripts/lib/web.mjs';

const stray = { code: kStrayAnswerCode, message: 'Session with given id not found.' };

// Each case: the answers that come for the browser's command, in order, and
// what the command then gives.
const kCases = [
  { name: 'a stray answer, then its own', answers: [{ error: stray }, { result: { browserContextId: 'B' } }],
    gives: { browserContextId: 'B' } },
  { name: 'its own answer only', answers: [{ result: { browserContextId: 'B' } }], gives: { browserContextId: 'B' } },
  { name: 'its own error', answers: [{ error: { code: -32000, message: 'Not allowed' } }],
    fails: /Target\.createBrowserContext\): Not allowed/ },
  { name: 'a stray answer, then its own error', answers: [{ error: stray }, { error: { code: -32000, message: 'Not allowed' } }],
    fails: /Not allowed/ },
];

for (const { name, answers, gives, fails } of kCases) {
  test(`the browser's own command: ${name}`, async () => {
    await dropStrayAnswers();
    const sent = [];
    const transport = { send: (message) => sent.push(JSON.parse(message)), close() {} };
    const connection = new Connection('ws://127.0.0.1:0/devtools/browser', transport, 0, 5000);
    const answer = connection.send('Target.createBrowserContext');
    answer.catch(() => {});  // judged below, once every answer is in
    for (const body of answers) await transport.onmessage(JSON.stringify({ id: sent[0].id, ...body }));
    if (fails) await assert.rejects(answer, fails);
    else assert.deepEqual(await answer, gives);
    connection.dispose();
  });
}
