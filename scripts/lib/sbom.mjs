// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The software bill of materials of one release artefact, in CycloneDX 1.6
// JSON, made and checked with the CycloneDX project's own library: the
// artefact (name, version, licence, SHA-256) and what it contains or
// requires. The Windows program and the site folder contain the components
// the build found for their notices (components.json, cmake/notices.cmake);
// the .deb and the .rpm contain the viewer alone and require the packages and
// libraries their own headers name. Every value comes from the artefact and
// the build, and the date is SOURCE_DATE_EPOCH, so the same artefact gives
// the same bytes.
//
// Usage: node sbom.mjs make OUTPUT ARTEFACT KIND VERSION [COMPONENTS_JSON]
//          KIND: deb, rpm, windows, web, source
//        node sbom.mjs check FILE...   (exit status 1 if any is not valid)
import { createHash } from 'node:crypto';
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { basename } from 'node:path';
import * as CDX from '@cyclonedx/cyclonedx-library';
import { PackageURL } from 'packageurl-js';

// The SBOMs are written and validated as CycloneDX 1.6.
const kCycloneDx = CDX.Spec.Spec1dot6;
const kDescriptions = {
  deb: 'the Debian package',
  rpm: 'the RPM package',
  windows: 'the Windows program (installer or portable zip)',
  web: 'the browser build\'s site folder (zip)',
  source: 'the source archive',
};

const sha256 = (bytes) => createHash('sha256').update(bytes).digest('hex');

// A UUID (RFC 4122 form, version 8: made from a hash) for the artefact's BOM.
function uuidOf(hex) {
  const h = hex.slice(0, 32).split('');
  h[12] = '8';
  h[16] = ((parseInt(h[16], 16) & 0x3) | 0x8).toString(16);
  const s = h.join('');
  return `${s.slice(0, 8)}-${s.slice(8, 12)}-${s.slice(12, 16)}-${s.slice(16, 20)}-${s.slice(20)}`;
}

function licences(expression) {
  const single = /^[A-Za-z0-9.+-]+$/.test(expression) && !/^LicenseRef-/.test(expression);
  return new CDX.Models.LicenseRepository([single ? new CDX.Models.SpdxLicense(expression)
    : new CDX.Models.LicenseExpression(expression)]);
}

// What a .deb requires: its Depends field, package by package, each of the
// package's own architecture (amd64 or arm64).
function debianRequirements(file) {
  const field = (name) => execFileSync('dpkg-deb', ['-f', file, name], { encoding: 'utf8' }).trim();
  const arch = field('Architecture');
  return field('Depends').split(/,\s*/).filter(Boolean).map((entry) => {
    const [, name, constraint] = entry.match(/^([a-z0-9.+-]+)(?:\s*\(([^)]*)\))?/);
    return { name, constraint: constraint || '', purl: new PackageURL('deb', 'debian', name, undefined, { arch }) };
  });
}

// What an .rpm requires: its Requires, as rpm lists them.
function rpmRequirements(file) {
  const lines = execFileSync('rpm', ['-qp', '--requires', file], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] });
  return [...new Set(lines.split('\n').map((l) => l.trim()).filter(Boolean))].sort()
    .map((requirement) => ({ name: requirement, constraint: '' }));
}

function make(output, artefact, kind, version, componentsFile) {
  const bytes = readFileSync(artefact);
  const hex = sha256(bytes);
  const bom = new CDX.Models.Bom();
  bom.serialNumber = `urn:uuid:${uuidOf(hex)}`;
  const epoch = Number(process.env.SOURCE_DATE_EPOCH);
  if (!Number.isInteger(epoch)) throw new Error('SOURCE_DATE_EPOCH is not set');
  bom.metadata.timestamp = new Date(epoch * 1000);
  bom.metadata.tools.components.add(new CDX.Models.Component(CDX.Enums.ComponentType.Application,
    'morph-viewer scripts/lib/sbom.mjs', { version }));
  const root = new CDX.Models.Component(CDX.Enums.ComponentType.Application, basename(artefact), {
    bomRef: 'artefact',
    version,
    description: `Morph Viewer ${version}: ${kDescriptions[kind]}`,
    licenses: licences('MIT'),
    supplier: new CDX.Models.OrganizationalEntity({ name: 'The morph-viewer authors' }),
    hashes: new CDX.Models.HashDictionary([[CDX.Enums.HashAlgorithm['SHA-256'], hex]]),
  });
  bom.metadata.component = root;

  const viewer = new CDX.Models.Component(CDX.Enums.ComponentType.Application, 'morph-viewer', {
    bomRef: 'morph-viewer', version, licenses: licences('MIT'), scope: CDX.Enums.ComponentScope.Required,
    supplier: new CDX.Models.OrganizationalEntity({ name: 'The morph-viewer authors' }),
    description: 'the viewer: a lit 3D surface morphing between two shapes',
  });
  bom.components.add(viewer);
  root.dependencies.add(viewer.bomRef);

  if (componentsFile) {
    const { components } = JSON.parse(readFileSync(componentsFile, 'utf8'));
    components.forEach((c, i) => {
      const component = new CDX.Models.Component(CDX.Enums.ComponentType.Library, c.name, {
        bomRef: `contained-${i}`, version: c.version, description: c.description, licenses: licences(c.licence),
        scope: CDX.Enums.ComponentScope.Required,
        supplier: c.supplier ? new CDX.Models.OrganizationalEntity({ name: c.supplier }) : undefined,
        purl: c.purl ? PackageURL.fromString(c.purl) : undefined,
      });
      component.properties.add(new CDX.Models.Property('morph-viewer:origin', c.origin));
      bom.components.add(component);
      viewer.dependencies.add(component.bomRef);
    });
  }
  const required = kind === 'deb' ? debianRequirements(artefact) : kind === 'rpm' ? rpmRequirements(artefact) : [];
  required.forEach((r, i) => {
    const component = new CDX.Models.Component(CDX.Enums.ComponentType.Library, r.name, {
      bomRef: `required-${i}`, scope: CDX.Enums.ComponentScope.Required, purl: r.purl,
      description: `required by the package${r.constraint ? `, version ${r.constraint}` : ''}; not contained`,
    });
    if (r.constraint) component.properties.add(new CDX.Models.Property('morph-viewer:version-constraint', r.constraint));
    bom.components.add(component);
    viewer.dependencies.add(component.bomRef);
  });

  const serializer = new CDX.Serialize.JsonSerializer(new CDX.Serialize.JSON.Normalize.Factory(kCycloneDx));
  writeFileSync(output, serializer.serialize(bom, { sortLists: true, space: 2 }) + '\n');
}

async function check(files) {
  const validator = new CDX.Validation.JsonStrictValidator(kCycloneDx.version);
  let bad = 0;
  for (const file of files) {
    const errors = await validator.validate(readFileSync(file, 'utf8'));
    if (errors === null) {
      console.log(`${file}: valid CycloneDX ${kCycloneDx.version}`);
    } else {
      bad++;
      console.error(`${file}: not valid CycloneDX ${kCycloneDx.version}: ${JSON.stringify(errors, null, 2)}`);
    }
  }
  process.exitCode = bad > 0 ? 1 : 0;
}

const [command, ...rest] = process.argv.slice(2);
if (command === 'make' && rest.length >= 4) {
  make(...rest);
} else if (command === 'check' && rest.length > 0) {
  await check(rest);
} else {
  console.error('usage: node sbom.mjs make OUTPUT ARTEFACT KIND VERSION [COMPONENTS_JSON]\n       node sbom.mjs check FILE...');
  process.exitCode = 2;
}
