// The MIDI port the program plays on, found by name as well as number while ports come and
// go: by name wherever it stands, duplicates, older settings without a name, away and back,
// and what the engine is told at each step (a port that only moved is not reopened).
#include "engine/PortChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zevaver {

namespace {

PortList Ports(std::vector<std::string> names) {
    PortList list;
    list.ports = std::move(names);
    return list;
}

// A step as one line: what the engine is told, then what the user is told.
std::string Describe(const PortStep& step) {
    std::string text;
    switch (step.engine) {
    case PortStep::Engine::Nothing:
        text = "nothing";
        break;
    case PortStep::Engine::Renumber:
        text = "renumber " + std::to_string(step.device);
        break;
    case PortStep::Engine::Open:
        text = "open " + std::to_string(step.device) + (step.reportFailure ? " (reported)" : "");
        break;
    }
    if (!step.lostPort.empty()) text += ", lost " + step.lostPort;
    return text;
}

TEST(PickPort, FindsTheNameWhereverItStandsAndOfDuplicatesPrefersTheStoredNumber) {
    const PortList list = Ports({"Loopback", "GS Synth", "USB MIDI", "USB MIDI"});
    struct Case {
        const char* what;
        int32_t device;
        const char* name;
        PortPick pick;
    };
    const Case cases[] = {
        {"moved back by a port added in front", 1, "GS Synth", {1, false}},
        {"moved to the front", 2, "Loopback", {0, false}},
        {"moved on", 0, "GS Synth", {1, false}},
        {"a duplicate at the stored number", 3, "USB MIDI", {3, false}},
        {"a duplicate, the stored number holding another", 0, "USB MIDI", {2, false}},
        {"a duplicate, the stored number past the list", 9, "USB MIDI", {2, false}},
        {"no name: by number", 2, "", {2, false}},
        {"no name, past the list: the first port", 4, "", {0, false}},
        {"the mapper, whatever its name", -1, "Old Mapper Name", {-1, false}},
        {"away: the first port stands in", 1, "Keystation", {0, true}},
        {"the name is the whole name", 1, "USB", {0, true}},
    };
    for (const Case& c : cases) {
        const PortPick pick = PickPort(list, c.device, c.name);
        EXPECT_EQ(pick.device, c.pick.device) << c.what;
        EXPECT_EQ(pick.away, c.pick.away) << c.what;
    }
    EXPECT_EQ(PickPort(Ports({}), 1, "Keystation").device, 0) << "nothing to stand in";
}

class PortChoiceTest : public testing::Test {
protected:
    void Choose(int32_t device, std::string name) {
        settings.Device = device;
        settings.DeviceName = std::move(name);
    }

    TSettings settings;
    PortChoice choice{settings};
};

// Start, then looks at the list ('R') and sends that failed ('L'): what the engine is told
// to do, and the loss the user is told of.
TEST_F(PortChoiceTest, FollowsThePortAwayAndBackAndTellsOfItsLossOnce) {
    Choose(1, "USB MIDI");
    EXPECT_EQ(Describe(choice.Start(Ports({"GS Synth"}))), "open 0 (reported)")
        << "away at start: the first port stands in, without a box";
    EXPECT_EQ(std::pair(settings.Device, choice.ChosenName()),
              std::pair(1, std::string("USB MIDI")));
    struct Step {
        char look;
        std::vector<std::string> ports;
        const char* told;
    };
    const Step steps[] = {
        {'R', {"GS Synth"}, "nothing"},
        {'R', {"Loopback", "GS Synth", "USB MIDI"}, "open 2"},
        {'R', {"New", "Loopback", "GS Synth", "USB MIDI"}, "renumber 3"},
        {'R', {"New", "Loopback", "GS Synth"}, "open 0, lost USB MIDI"},
        {'R', {"Loopback", "GS Synth"}, "open 0"}, // another stand-in
        {'R', {"Loopback", "GS Synth"}, "nothing"},
        {'R', {"GS Synth", "USB MIDI"}, "open 1"},
        {'L', {"GS Synth", "USB MIDI"}, "open 1, lost USB MIDI"}, // still listed a moment
        {'L', {"GS Synth", "USB MIDI"}, "open 1"},
        {'R', {"GS Synth"}, "open 0"},
    };
    int at = 0;
    for (const Step& step : steps) {
        const PortStep done =
            step.look == 'L' ? choice.Lost(Ports(step.ports)) : choice.Refresh(Ports(step.ports));
        EXPECT_EQ(Describe(done), step.told) << "step " << ++at;
    }
    EXPECT_TRUE(choice.Away());
    EXPECT_EQ(settings.Device, 1) << "the last number it had";
}

TEST_F(PortChoiceTest, SettingsWithoutANameLearnItAndThePicksOwnNameIsKept) {
    Choose(1, "");
    EXPECT_EQ(Describe(choice.Start(Ports({"GS Synth", "USB MIDI"}))), "open 1 (reported)");
    EXPECT_EQ(settings.DeviceName, "USB MIDI");

    const PortList twins = Ports({"USB MIDI", "GS Synth", "USB MIDI"});
    EXPECT_EQ(Describe(choice.Select(2, twins)), "open 2 (reported)");
    EXPECT_EQ(Describe(choice.Refresh(twins)), "nothing") << "of the two, the one picked";
    EXPECT_EQ(Describe(choice.Select(7, twins)), "open 0 (reported)");
    EXPECT_EQ(std::pair(settings.Device, settings.DeviceName),
              std::pair(0, std::string("USB MIDI")));
}

TEST_F(PortChoiceTest, AChoiceStaysThroughLaterLooksAndAPortMovedToTheFrontIsNoLoss) {
    Choose(0, "GS Synth");
    const PortList list = Ports({"GS Synth", "USB MIDI"});
    EXPECT_EQ(Describe(choice.Start(list)), "open 0 (reported)");
    EXPECT_EQ(Describe(choice.Select(1, list)), "open 1 (reported)");
    EXPECT_EQ(Describe(choice.Refresh(list)), "nothing") << "no way back to the old port";
    EXPECT_EQ(Describe(choice.Refresh(Ports({"USB MIDI"}))), "renumber 0");
    EXPECT_FALSE(choice.Away());
    EXPECT_EQ(std::pair(settings.Device, settings.DeviceName),
              std::pair(0, std::string("USB MIDI")));
}

TEST_F(PortChoiceTest, WithNoPortListedNothingIsReadPastTheList) {
    const PortList none = Ports({});
    EXPECT_EQ(none.NameOf(0), "");
    EXPECT_EQ(none.NameOf(-1), "Microsoft MIDI Mapper");
    EXPECT_EQ(none.Captions(), std::vector<std::string>{"Microsoft MIDI Mapper"});
    Choose(0, "");
    EXPECT_EQ(Describe(choice.Start(none)), "open 0 (reported)");
    EXPECT_EQ(Describe(choice.Select(0, none)), "open 0 (reported)");
    EXPECT_EQ(settings.DeviceName, "");
}

} // namespace

} // namespace zevaver
