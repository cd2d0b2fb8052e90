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
// The Windows 95 family's password handling, under Wine reporting Windows 98.
void versionProbeCase();
void passwordVerifyCase();
void passwordNoneCase();
void passwordPreviewCase();
void passwordAutoplayCase();
void passwordCrashGuardCase();
void changePasswordCase();
void passwordNtCase();
