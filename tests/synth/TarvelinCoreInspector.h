#pragma once

#include "synth/TarvelinCore.h"

/*  The tests' view into TarvelinCore: its signal stages, to drive them with
    chosen inputs, and the few state values that rendered audio cannot show.
*/
struct TarvelinCoreInspector
{
    using Oscillator = TarvelinCore::Oscillator;
    using ResonantFilter = TarvelinCore::ResonantFilter;
    using ToneStage = TarvelinCore::ToneStage;
    using Chunk = TarvelinCore::Chunk;
    using FilterBank = TarvelinCore::FilterBank;

    static double gate (const TarvelinCore& engine)             { return engine.controls.gate; }
    static double oscillatorPhase (const TarvelinCore& engine)  { return engine.oscillator.phase; }
    static int rateRow (const TarvelinCore& engine)             { return engine.rateIndex; }

    static const ResonanceCurves::Curve& curve (const TarvelinCore& engine)    { return *engine.curve; }
};
