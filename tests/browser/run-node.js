// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a test program built with emcc under Node. Qt makes every program a factory
// (createQtAppInstance), which its page's loader calls; here Node calls it, with the test's
// arguments, and ends with the program's exit code.
'use strict';
const path = require('path');
const create = require(path.resolve(process.argv[2]));
create({arguments: process.argv.slice(3), quit: (status) => process.exit(status)});
