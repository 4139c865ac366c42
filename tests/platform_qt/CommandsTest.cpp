#include "platform/qt/Commands.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {
class CRecordingTarget final : public CCommandTarget<QWidget>
{
public:
    std::vector<uint32_t> ids;

protected:
    void OnCommand(uint32_t nId) override { ids.push_back(nId); }
};
}

TEST(Commands, PostedCommandsAreHandledInPostingOrder)
{
    CRecordingTarget target;
    PostCommand(&target, CMD_FILE_SAVE);
    PostCommand(&target, CMD_APP_EXIT);
    PostCommand(&target, ID_FILE_NEW);
    EXPECT_TRUE(target.ids.empty()) << "commands wait for the event loop";
    QCoreApplication::sendPostedEvents(&target);
    EXPECT_EQ(target.ids, (std::vector<uint32_t>{0xE103, 0xE141, 0xE100}));
}

TEST(Commands, CommandsPostedFromAnotherThreadKeepTheirOrder)
{
    CRecordingTarget target;
    std::thread worker([&] {
        PostCommand(&target, CMD_FILE_SAVE);
        PostCommand(&target, CMD_APP_EXIT);
    });
    worker.join();
    QCoreApplication::sendPostedEvents(&target);
    EXPECT_EQ(target.ids, (std::vector<uint32_t>{CMD_FILE_SAVE, CMD_APP_EXIT}));
}

TEST(Commands, OtherEventsReachTheBaseClass)
{
    CRecordingTarget target;
    target.resize(40, 30);
    target.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(target.isVisible());
    EXPECT_TRUE(target.ids.empty());
}

TEST(Commands, IdsKeepTheirMenuValues)
{
    const struct { uint32_t id; uint32_t value; } cases[] = {
        {ID_FILE_NEW, 57600},     {ID_FILE_OPEN, 57601},    {CMD_FILE_SAVE, 57603},
        {ID_FILE_SAVE_AS, 57604}, {ID_FILE_MRU_FILE1, 57616}, {ID_APP_ABOUT, 57664},
        {CMD_APP_EXIT, 57665},    {ID_HELP_FINDER, 57667},  {ID_HELP, 57670},
        {ID_DEFAULT_HELP, 57671}, {ID_FILE_EXPORT_IMAGE, 32794}, {ID_VIEW_SCALE_FACTOR, 32797},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.id, c.value);
    }
}
