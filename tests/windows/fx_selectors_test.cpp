// The entry point's selector table, the handles it refuses, and what the
// host reads from the file: the resources and the one export.
#include <string>

#include "frame_setup.h"
#include "plugin_fixture.h"
#include "plugin_ids.h"

namespace glimmer::testing {
namespace {

using Bytes = std::vector<unsigned char>;

class SelectorTest : public PluginTest {};

TEST_F(SelectorTest, IdleSelectorsAnswerWithoutTouchingAnything) {
    EffectSession session(16, 8);
    session.record().settingsHandle = hostBlock(distinctSettings(3));
    const Bytes record = recordBlockBytes(session);
    const Bytes settings = bytesOf(**session.record().settingsHandle);
    const std::vector<uint32_t> destination = session.destination().pixels();
    const struct {
        int32_t selector;
        int32_t answer;
    } table[] = {{2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0x4000}, {7, 0}, {8, 0}, {100, 0}, {0x7FFF, 0},
                 {-1, 0}, {0xFFFF, 0}, {-32768, 0}, {0x10006, 0x4000}, {0x7FFF0003, 0}, {static_cast<int32_t>(0xFFFF0006), 0x4000}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.selector);
        EXPECT_EQ(call(row.selector, session.handle()), row.answer);
        EXPECT_EQ(recordBlockBytes(session), record);
        EXPECT_EQ(bytesOf(**session.record().settingsHandle), settings);
        EXPECT_EQ(session.destination().pixels(), destination);
    }
    EXPECT_TRUE(calls().empty());
}

TEST_F(SelectorTest, IdleSelectorsNeverLookAtTheHandle) {
    const auto garbage = reinterpret_cast<HostEffectHandle>(static_cast<uintptr_t>(0xDEADBEEF));
    EXPECT_EQ(call(6, garbage), 0x4000);
    EXPECT_EQ(call(6, nullptr), 0x4000);
    for (int32_t selector : {2, 3, 4, 5, 7, 0x100, -1}) EXPECT_EQ(call(selector, garbage), 0) << selector;
    EXPECT_TRUE(calls().empty());
}

TEST_F(SelectorTest, OnlyTheLow16BitsChooseRenderOrSetup) {
    EffectSession session(16, 8);
    session.imageA().pixels().assign(session.imageA().pixels().size(), 0xAAAAAAAA);
    session.imageB().pixels().assign(session.imageB().pixels().size(), 0xBBBBBBBB);
    session.record().position = 5;
    session.record().total = 10;
    std::vector<uint32_t> expected = session.imageB().pixels();
    runFrameSetup({session.imageA().pixels().data(), session.imageB().pixels().data(), expected.data(), 8, 64, 5, 10,
                   false},
                  defaultSettings());
    EXPECT_EQ(call(0x30000, session.handle()), 0);
    EXPECT_EQ(session.destination().pixels(), expected);

    DialogDriver user(host(), IDCANCEL);
    EXPECT_EQ(call(0x10001, session.handle()), 0);
    user.finish();
    EXPECT_TRUE(user.sawDialog());
    adopt(session.record().settingsHandle);
}

// Mend: a host that passes nothing gets 0 and nothing is touched.
TEST_F(SelectorTest, MissingRecordsAreRefused) {
    HostEffectRecord* noRecord = nullptr;
    EXPECT_EQ(call(0, nullptr), 0);
    EXPECT_EQ(call(1, nullptr), 0);
    EXPECT_EQ(call(0, &noRecord), 0);
    EXPECT_EQ(call(1, &noRecord), 0);

    EffectSession session(16, 8);
    HostFrameRecord* noFrame = nullptr;
    const struct {
        const char* what;
        HostFrameHandle destination;
        HostFrameHandle sourceA;
    } cases[] = {
        {"no destination handle", nullptr, session.imageA().handle()},
        {"no destination record", &noFrame, session.imageA().handle()},
        {"no image A", session.destination().handle(), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        session.record().destination = c.destination;
        session.record().sourceA = c.sourceA;
        const Bytes record = recordBlockBytes(session);
        const std::vector<uint32_t> pixels = session.destination().pixels();
        DialogDriver user(host(), IDCANCEL);  // ends a dialog that must not open
        EXPECT_EQ(call(0, session.handle()), 0);
        if (c.destination == nullptr || *c.destination == nullptr) {
            EXPECT_EQ(call(1, session.handle()), 0);
        }
        user.finish();
        EXPECT_FALSE(user.sawDialog());
        EXPECT_EQ(recordBlockBytes(session), record);
        EXPECT_EQ(session.destination().pixels(), pixels);
    }
    EXPECT_TRUE(calls().empty());
}

TEST_F(SelectorTest, TheHostsResourcesHoldTheirFixedBytes) {
    using namespace std::string_literals;
    const struct {
        const char* type;
        int id;
        std::string bytes;
    } resources[] = {
        {"TYPE", 1000, "\0\0XFPS"s},
        {"TEXT", 1000, "\0\0Glimmerscatterweft\0"s},
        {"TEXT", 1001, "\0\0Image A dissipates and reveals image B.\0"s},
        {"FOPT", 1000, "\0\0\0\0\x22\0\x01\0\0\0"s},
        {"FXVS", 1000, "\0\0\x02\0"s},
        {"FXDF", 5, "\0\0WI09\0"s},
        {"FXDF", 10, "\0\0WI08\0"s},
    };
    const std::size_t sizes[] = {6, 21, 42, 10, 4, 7, 7};
    for (std::size_t i = 0; i < std::size(resources); ++i) {
        SCOPED_TRACE(std::string(resources[i].type) + " " + std::to_string(resources[i].id));
        EXPECT_EQ(plugin().resource(resources[i].type, resources[i].id), resources[i].bytes);
        EXPECT_EQ(resources[i].bytes.size(), sizes[i]);
    }
    EXPECT_FALSE(plugin().resource(MAKEINTRESOURCEA(16), 1).empty()) << "version block";
}

TEST_F(SelectorTest, TheStringTableHoldsTheSheetCaptionAndEveryTooltip) {
    const struct {
        int id;
        const char* text;
    } strings[] = {
        {IDS_PROPERTY_SHEET_CAPTION, "Property Sheet"},
        {1017, "Variance of pixel speed"},
        {1018, "Add random component"},
        {1019, "Horisontal and vertical speed difference"},
        {1020, "X Direction"},
        {1021, "Y Direction"},
        {1022, "Minimal pixel speed"},
        {1023, "Linearity of timeline"},
        {1024, "Simulate gravity"},
        {1025, "Simulate wind"},
        {1026, "Delay from start"},
        {1027, "Add random component"},
        {1028, "Left to right calculation order"},
        {1029, "Right to left calculation order"},
        {1030, "Up to down calculation order"},
        {1031, "Down to up calculation order"},
        {1032, "Minimal pixel life"},
        {1033, "Maximal pixel life"},
        {1054, "Load saved setings"},
        {1055, "Save current setings"},
        {1056, "Apply current setings"},
        {1057, "Exit and discard changes"},
        {1058, "Start Help"},
        {1059, "About Glimmerscatterweft"},
    };
    for (const auto& s : strings) {
        char text[128] = {};
        LoadStringA(plugin().module(), static_cast<UINT>(s.id), text, sizeof text);
        EXPECT_STREQ(text, s.text) << "string " << s.id;
    }
}

// The globals are found by their names in the file; the exported entry
// point, found the same way, shows the lookup lands on the right address.
TEST_F(SelectorTest, SymbolLookupAgreesWithTheExport) {
    void* exported = reinterpret_cast<void*>(GetProcAddress(plugin().module(), "xEffect"));
    ASSERT_NE(exported, nullptr);
    EXPECT_EQ(findModuleSymbol(plugin().module(), "_xEffect"), exported);
}

}  // namespace
}  // namespace glimmer::testing
