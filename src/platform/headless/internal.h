#pragma once
// Shared between the headless platform's files: each part's reset, run by headlessReset.
void resetHeadlessClock();
void resetHeadlessWindows();
void resetHeadlessSystem();
void resetHeadlessDialogs();
