#pragma once
// The cases the driver runs, one per command.
void fullScreenCase();
void singleInstanceCase();
void refusalsCase();
void crashGuardCase();
void previewCase();
void configureOkCase();
void configureLeavesFileCase();
void configureReadOnlyCase();
void configureUnsavedCase();
void profileReaderCase();
