// Validates each SBOM named on the command line with OWASP's CycloneDX
// library, strictly, against the CycloneDX 1.6 JSON schema, and parses every
// package URL in it with the purl project's own library, as scanners do:
// each must be in canonical form, and each library's must name the Debian
// release and the source package it came from; each library must have a CPE
// 2.3 name. Names each SBOM, and exits with 1 when any fails. Run `npm ci` here
// first.
import { readFile } from 'node:fs/promises';
import { Validation } from '@cyclonedx/cyclonedx-library';
import { PackageURL } from 'packageurl-js';

// The library names each schema version by its number.
const validator = new Validation.JsonStrictValidator('1.6');
const cpe = /^cpe:2\.3:a:[^:*]+:[^:*]+:[^:*]+(:\*){7}$/;

// Parses `text` as scanners do: returns the purl, or null, and what is wrong
// with it.
function parsed(text) {
  try {
    const purl = PackageURL.fromString(text);
    return [purl, purl.toString() === text ? [] : [`${text} is not canonical: ${purl}`]];
  } catch (error) {
    return [null, [`${text}: ${error.message}`]];
  }
}

// What is wrong with `component`'s identifiers, a library linked from a
// Debian package.
function identifierProblems(component) {
  const [purl, problems] = parsed(component.purl);
  if (purl === null) return problems;
  const { distro, upstream } = purl.qualifiers ?? {};
  if (purl.type !== 'deb' || purl.version !== component.version)
    problems.push(`${component.purl} is no Debian package at ${component.version}`);
  if (!/^debian-\d+$/.test(distro ?? '')) problems.push(`${component.purl} names no Debian release`);
  if (!/^[a-z0-9][a-z0-9+.-]*@\S+$/.test(upstream ?? ''))
    problems.push(`${component.purl} names no source package and version`);
  if (!cpe.test(component.cpe ?? '')) problems.push(`${component.name} has no CPE 2.3 name`);
  return problems;
}

let failed = 0;
for (const file of process.argv.slice(2)) {
  const text = await readFile(file, 'utf8');
  const errors = await validator.validate(text);
  const bom = JSON.parse(text);
  // The program's own purl names no Debian package, but must parse as well.
  const problems = [
    ...parsed(bom.metadata.component.purl)[1],
    ...bom.components.filter((c) => c.type === 'library').flatMap(identifierProblems),
  ];
  if (errors === null && problems.length === 0) {
    console.log(`${file}: valid CycloneDX 1.6, every purl and CPE as scanners read them`);
  } else {
    if (errors !== null) console.error(`${file}: not valid CycloneDX 1.6:\n${JSON.stringify(errors, null, 2)}`);
    for (const problem of problems) console.error(`${file}: ${problem}`);
    failed += 1;
  }
}
process.exit(failed === 0 ? 0 : 1);
