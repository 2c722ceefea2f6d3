// Validates each SBOM named on the command line with OWASP's CycloneDX
// library, strictly, against the CycloneDX 1.6 JSON schema; names each one,
// and exits with 1 when any is not valid. Run `npm ci` here first.
import { readFile } from 'node:fs/promises';
import { Validation } from '@cyclonedx/cyclonedx-library';

// The library names each schema version by its number.
const validator = new Validation.JsonStrictValidator('1.6');
let invalid = 0;
for (const file of process.argv.slice(2)) {
  const errors = await validator.validate(await readFile(file, 'utf8'));
  if (errors === null) {
    console.log(`${file}: valid CycloneDX 1.6`);
  } else {
    console.error(`${file}: not valid CycloneDX 1.6:\n${JSON.stringify(errors, null, 2)}`);
    invalid += 1;
  }
}
process.exit(invalid === 0 ? 0 : 1);
