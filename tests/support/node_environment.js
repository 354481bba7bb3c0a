// Test programs compiled to WebAssembly run under node: hand them the host's environment, as a
// native test program would see it (FUELIX_SOAK_ACTIONS, FUELIX_TEST_LOCALE).
Module['preRun'] = [function () { Object.assign(ENV, process.env); }];
