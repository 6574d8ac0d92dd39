// Runs a WASI program under node: node --no-warnings wasi-run.mjs PROGRAM.wasm [ARG...]
// The program gets the arguments, the environment and file descriptors 0, 1
// and 2 as they are, and no directory; its exit status becomes node's.
// --no-warnings keeps node's notice that WASI is experimental off standard
// error, which must carry the program's diagnostics and nothing else.
import { readFile } from 'node:fs/promises';
import { WASI } from 'node:wasi';

const [program, ...args] = process.argv.slice(2);
if (!program) {
	process.stderr.write('usage: node --no-warnings wasi-run.mjs PROGRAM.wasm [ARG...]\n');
	process.exit(2);
}
let instance;
const wasi = new WASI({
	version: 'preview1',
	args: [program, ...args],
	env: process.env,
	returnOnExit: true,
});
try {
	const module = await WebAssembly.compile(await readFile(program));
	// wasiImport rather than getImportObject(): node 18 has only the former.
	instance = await WebAssembly.instantiate(module, { wasi_snapshot_preview1: wasi.wasiImport });
} catch (error) {
	process.stderr.write(`wasi-run: ${program}: ${error.message}\n`);
	process.exit(127);
}
try {
	// A program that returns from main without calling exit gives undefined.
	process.exitCode = wasi.start(instance) ?? 0;
} catch (error) {
	// A trap (abort, unreachable code): a crash, never a status the program chose.
	process.stderr.write(`wasi-run: ${program}: ${error}\n`);
	process.exitCode = 134;
}
