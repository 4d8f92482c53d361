#pragma once

class Knob;
class Label;
class OptionGroup;
class Slide;
class Switch;

// The window controls of each module group, named after their widgets. The
// main window fills these with its adapters; tests with fakes. They must
// outlive the channel that uses them. The channel installs the changed and
// clicked handlers of the switches, buttons, knobs and option groups here;
// a notifier holds one handler, so nobody else may set one on them.

struct FlowPanel
{
    Switch &cwbFlow;
    Switch &CWButton3; // restarts the pulse total
    Knob &CWKnobflow;  // full scale of the total-litres slide
    Label &lblHz;
    Label &lblLitersPerMin;
    Label &liters;
    Slide &CWSlideFlow;
    Slide &CWSlideLiters;
};

struct PhPanel
{
    Switch &cwbPh;
    OptionGroup &optTherm;  // compensation thermistor of probe 1
    OptionGroup &optTherm1; // the same for probe 2
    Label &lblmV;           // probe 1
    Label &lblpH;           // probe 1
    Label &lblmV1;          // probe 2
    Label &lblpH1;          // probe 2
};

struct ThermistorPanel
{
    Switch &cwbTherm;
    Switch &cwbReset; // restarts the min/max markers of the three slides
    Knob &CWtherMin;
    Knob &CWtherMax;
    Label &lblTherm1;
    Label &lblTherm2;
    Label &lblTherm3;
    Slide &CWSlideTherm1;
    Slide &CWSlideTherm2;
    Slide &CWSlideTherm3;
};
