#pragma once
// The component's numbers for which list holds an MD5, as its ISignatureList
// reports and takes them (intake/DetectionComponent.h). No platform header:
// the stand-in component's list table uses them too.

enum SignatureListKind { kSignatureNone = 0, kSignatureTrusted = 1, kSignatureBlack = 2 };
