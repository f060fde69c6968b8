// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

// The resident converter ("quillvane-cli --worker"): reads one JSON request
// per line on standard input and converts them one after another
// (AudioTranscoder), replying with JSON lines on standard output:
//   {"id":"7","input":...,"output":...,"filter":...,"encode":[...]}  a job
//     with "reverse":{"raw":...,"format":"s16le","rate":...,"channels":...}  played backwards
//   {"cancel":"7"}                                                    stop job 7
//   {"id":"7","time":1500000}                 progress: microseconds of output
//     with "pass":1 while a reversal encodes (without it: decodes)
//   {"id":"7","end":"done"|"failed"|"cancelled"|"unsupported","reason":...,"log":...}
// Standard input is read on its own thread, so a cancel is seen while a job
// converts. Returns when standard input ends.
int RunWorker();
