// Checks glTF files with the Khronos glTF validator:
//   node tools/gltf_validator/validate.mjs FILE...
// Prints every file's issues (errors, warnings, infos and hints) and exits
// with status 1 when any file has an error or a warning, 2 when a file
// cannot be read. Files that name other files (.gltf) have them read from
// beside them.
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import validator from 'gltf-validator';

const kSeverities = ['error', 'warning', 'info', 'hint'];

async function check(file) {
  const bytes = new Uint8Array(await readFile(file));
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    maxIssues: 0,  // all of them
    externalResourceFunction: async (uri) =>
      new Uint8Array(await readFile(path.join(path.dirname(file), decodeURIComponent(uri)))),
  });
  const { numErrors, numWarnings, numInfos, numHints, messages } = report.issues;
  console.log(`${file}: ${numErrors} errors, ${numWarnings} warnings, ${numInfos} infos, ` +
              `${numHints} hints (glTF validator ${report.validatorVersion})`);
  for (const message of messages) {
    console.log(`  ${kSeverities[message.severity]} ${message.code} at ${message.pointer ?? ''}: ` +
                message.message);
  }
  return numErrors + numWarnings === 0;
}

const files = process.argv.slice(2);
if (files.length === 0) {
  console.error('usage: validate.mjs FILE...');
  process.exit(2);
}
let clean = true;
for (const file of files) {
  try {
    clean = (await check(file)) && clean;
  } catch (error) {
    console.error(`${file}: ${error.message ?? error}`);
    process.exit(2);
  }
}
process.exit(clean ? 0 : 1);
