#ifndef SYNTHETICCURVE_H
#define SYNTHETICCURVE_H

#include <analysisresult.h>

// A raw clotting curve as the analyser would record it: 60 s of transmitted light sampled every
// 0.1 s, steady after mixing, then falling along a sigmoid as the fibrin clot forms at about
// 12 s, with a little detector noise. The noise comes from a fixed seed, so every call gives the
// same curve.
ClotCurve syntheticClotCurve();

#endif // SYNTHETICCURVE_H
