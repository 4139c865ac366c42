#pragma once

#include <QEvent>
#include <QObject>

#include <cstdint>
#include <functional>

// Command ids of the menu, the accelerators and the posted commands, with
// their Windows values so that result files and scripts keep their meaning.
enum : uint32_t
{
    ID_FILE_NEW = 0xE100,        // 57600
    ID_FILE_OPEN = 0xE101,       // 57601
    ID_FILE_SAVE_AS = 0xE104,    // 57604
    ID_FILE_MRU_FILE1 = 0xE110,  // 57616, the first of the recent files
    ID_APP_ABOUT = 0xE140,       // 57664
    ID_HELP_FINDER = 0xE143,     // 57667
    ID_HELP = 0xE146,            // 57670
    ID_DEFAULT_HELP = 0xE147,    // 57671
    ID_FILE_EXPORT_IMAGE = 32794,
    ID_VIEW_SCALE_FACTOR = 32797,
};

// Save and Exit are also the ids the worker posts at the end of an unattended
// run; engine/BenchMessages.h names them ID_FILE_SAVE and ID_APP_EXIT. The
// platform cannot see the engine, so it carries the same values under its own
// names (a file including both headers compiles, and the values are checked).
inline constexpr uint32_t CMD_FILE_SAVE = 0xE103;  // 57603
inline constexpr uint32_t CMD_APP_EXIT = 0xE141;   // 57665

// The number of recent-file commands: ID_FILE_MRU_FILE1 .. ID_FILE_MRU_FILE1 + 3.
inline constexpr int MAX_RECENT_FILES = 4;

// A command in flight. Posted events of one priority are delivered in the
// order they were posted, which keeps Save before Exit.
class CCommandEvent final : public QEvent
{
public:
    explicit CCommandEvent(uint32_t nId);
    uint32_t Id() const { return m_nId; }
    static QEvent::Type EventType();

private:
    uint32_t m_nId;
};

// Posts the command to the target; the target's event() hands it to its
// OnCommand when the event loop next runs. Safe from any thread.
void PostCommand(QObject* pTarget, uint32_t nId);

// For event() overrides: true (and the command handled) when the event is a
// command, false for every other event.
bool DispatchCommandEvent(QEvent* pEvent, const std::function<void(uint32_t)>& onCommand);

// Mix-in for a widget or object that takes posted commands:
//     class CBenchView : public CCommandTarget<QWidget> { ... void OnCommand(uint32_t) override; };
template <class TBase>
class CCommandTarget : public TBase
{
public:
    using TBase::TBase;

protected:
    virtual void OnCommand(uint32_t nId) = 0;

    bool event(QEvent* pEvent) override
    {
        if (DispatchCommandEvent(pEvent, [this](uint32_t nId) { OnCommand(nId); }))
            return true;
        return TBase::event(pEvent);
    }
};
