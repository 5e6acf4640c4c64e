// The MIDI port the program plays on, found by name as well as number while ports come and
// go: by name wherever it stands, duplicates, older settings without a name, away and back,
// and what the engine is told at each step (a port that only moved is not reopened).
#include "engine/PortChoice.h"
#include "support/FakeMidiOut.h"

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

TEST(ReadPorts, ListsTheMapperAndEveryPortAndNamesOneWhoseNameCannotBeRead) {
    fakes::FakeMidiOut midi;
    midi.devices = 3; // the third has no name to read
    const PortList list = ReadPorts(midi);
    EXPECT_EQ(list.Captions(), (std::vector<std::string>{"Microsoft MIDI Mapper", "Synth A",
                                                         "Synth B", "MIDI output 2"}));
    EXPECT_EQ(list.NameOf(-1), "Microsoft MIDI Mapper");
    EXPECT_EQ(list.NameOf(3), "");
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

TEST_F(PortChoiceTest, AtStartTheNamedPortOpensWhereverItStandsAndAFailureIsReported) {
    Choose(1, "USB MIDI");
    EXPECT_EQ(Describe(choice.Start(Ports({"Loopback", "GS Synth", "USB MIDI"}))),
              "open 2 (reported)");
    EXPECT_EQ(settings.Device, 2) << "the number follows the port";
    EXPECT_FALSE(choice.Away());
    EXPECT_EQ(choice.OpenDevice(), 2);
}

TEST_F(PortChoiceTest, SettingsWithoutANameGoByNumberAndLearnThePortsName) {
    Choose(1, "");
    EXPECT_EQ(Describe(choice.Start(Ports({"GS Synth", "USB MIDI"}))), "open 1 (reported)");
    EXPECT_EQ(settings.DeviceName, "USB MIDI");
    EXPECT_EQ(Describe(choice.Refresh(Ports({"Loopback", "GS Synth", "USB MIDI"}))), "renumber 2");

    Choose(5, "");
    EXPECT_EQ(Describe(choice.Start(Ports({}))), "open 0 (reported)");
    EXPECT_EQ(settings.Device, 0) << "past the list: 0, as before names were kept";
    EXPECT_EQ(settings.DeviceName, "") << "nothing there to learn from";
    EXPECT_EQ(Describe(choice.Refresh(Ports({"USB MIDI"}))), "open 0");
    EXPECT_EQ(settings.DeviceName, "USB MIDI") << "the first port that comes is taken";
}

TEST_F(PortChoiceTest, APortAwayAtStartIsStoodInForKeptAsTheChoiceAndTakenWhenBack) {
    Choose(1, "USB MIDI");
    EXPECT_EQ(Describe(choice.Start(Ports({"GS Synth"}))), "open 0 (reported)")
        << "no loss is told at start: the menu shows it";
    EXPECT_TRUE(choice.Away());
    EXPECT_EQ(choice.ChosenName(), "USB MIDI");
    EXPECT_EQ(std::pair(settings.Device, settings.DeviceName),
              std::pair(1, std::string("USB MIDI")))
        << "the choice is kept for the next start";
    EXPECT_EQ(Describe(choice.Refresh(Ports({"GS Synth"}))), "nothing");

    EXPECT_EQ(Describe(choice.Refresh(Ports({"Loopback", "GS Synth", "USB MIDI"}))), "open 2")
        << "back at another number, without a box";
    EXPECT_FALSE(choice.Away());
    EXPECT_EQ(settings.Device, 2);
}

TEST_F(PortChoiceTest, APortInUseThatGoesIsToldOnceAndAgainOnlyAfterItCameBack) {
    Choose(1, "USB MIDI");
    (void)choice.Start(Ports({"GS Synth", "USB MIDI"}));
    const std::vector<std::pair<PortList, std::string>> steps = {
        {Ports({"GS Synth", "USB MIDI"}), "nothing"},
        {Ports({"Loopback", "GS Synth", "USB MIDI"}), "renumber 2"},
        {Ports({"Loopback", "GS Synth"}), "open 0, lost USB MIDI"},
        {Ports({"GS Synth"}), "open 0"}, // the stand-in itself changed
        {Ports({"GS Synth"}), "nothing"},
        {Ports({"GS Synth", "USB MIDI"}), "open 1"},
        {Ports({"GS Synth"}), "open 0, lost USB MIDI"},
    };
    for (const auto& [list, expected] : steps) EXPECT_EQ(Describe(choice.Refresh(list)), expected);
}

// A failed send: the port may still be listed a moment after it went, or its driver fails
// every send; either way the user hears of it once.
TEST_F(PortChoiceTest, APortTheEngineLostIsOpenedAfreshAndToldOnlyOnce) {
    Choose(1, "USB MIDI");
    (void)choice.Start(Ports({"GS Synth", "USB MIDI"}));
    EXPECT_EQ(Describe(choice.Lost(Ports({"GS Synth", "USB MIDI"}))), "open 1, lost USB MIDI");
    EXPECT_EQ(Describe(choice.Lost(Ports({"GS Synth", "USB MIDI"}))), "open 1");
    EXPECT_EQ(Describe(choice.Refresh(Ports({"GS Synth"}))), "open 0") << "gone now: told already";
    EXPECT_EQ(Describe(choice.Refresh(Ports({"GS Synth", "USB MIDI"}))), "open 1");
    EXPECT_EQ(Describe(choice.Lost(Ports({"GS Synth"}))), "open 0, lost USB MIDI")
        << "back in between: a new loss";

    EXPECT_EQ(Describe(choice.Lost(Ports({"GS Synth"}))), "open 0")
        << "the stand-in lost too: nothing new to tell";
}

TEST_F(PortChoiceTest, TheUsersPickBecomesTheChoiceByNumberAndName) {
    Choose(1, "USB MIDI");
    const PortList list = Ports({"USB MIDI", "GS Synth", "USB MIDI"});
    (void)choice.Start(Ports({"GS Synth"}));
    ASSERT_TRUE(choice.Away());
    EXPECT_EQ(Describe(choice.Select(2, list)), "open 2 (reported)")
        << "the same port again still opens it anew";
    EXPECT_FALSE(choice.Away());
    EXPECT_EQ(std::pair(settings.Device, settings.DeviceName),
              std::pair(2, std::string("USB MIDI")));
    EXPECT_EQ(Describe(choice.Refresh(list)), "nothing") << "of the two, the one picked";

    EXPECT_EQ(Describe(choice.Select(-1, list)), "open -1 (reported)");
    EXPECT_EQ(settings.DeviceName, "Microsoft MIDI Mapper");
    EXPECT_EQ(Describe(choice.Select(7, list)), "open 0 (reported)");
    EXPECT_EQ(settings.DeviceName, "USB MIDI");
}

} // namespace

} // namespace zevaver
