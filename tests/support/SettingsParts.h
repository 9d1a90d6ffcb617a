#pragma once

#include "FakeClocks.h"
#include "FakeGraphView.h"
#include "FakeInterfaceSource.h"
#include "TempDir.h"
#include "appearance/CThemeTable.h"
#include "persistence/CDataFolder.h"
#include "sampling/CTrafficSampler.h"

// What a settings model is built on in tests: a temporary data folder, its own theme table, a
// sampler over a scripted interface source and a fake graph view.
struct SettingsParts {
    TempDir temp;
    CDataFolder folder{temp.Str() + "/share/Tallyglass", "/opt/tallyglass/"};
    CThemeTable themes;
    FakeInterfaceSource source;
    FakeMsClock clock{1000};
    CTrafficSampler sampler{source, clock};
    FakeGraphView view;
};
