#include "platform/DocumentBase.h"
#include "platform/MessageBox.h"
#include "platform/qt/DocumentFlow.h"
#include "platform/qt/FileDialogs.h"
#include "platform/qt/RecentFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <sstream>

namespace {
// A document with one text, kept in real files: "TEXT:" then the text.
class CTextDoc final : public CDocumentBase
{
public:
    std::string text;
    int nOpens = 0;

    bool OnNewDocument() override
    {
        text = "default";
        return CDocumentBase::OnNewDocument();
    }
    bool OnOpenDocument(const char* pszPath) override
    {
        ++nOpens;
        std::ifstream in(pszPath);
        std::stringstream content;
        content << in.rdbuf();
        const std::string s = content.str();
        if (!in || s.rfind("TEXT:", 0) != 0) {
            text = "half-read";  // a reader that stops half-way leaves what it had
            AfxMessageBox("Unexpected file format.", MB_ICONERROR);
            return false;
        }
        text = s.substr(5);
        return true;
    }
    bool OnSaveDocument(const char* pszPath) override
    {
        std::ofstream out(pszPath);
        out << "TEXT:" << text;
        return static_cast<bool>(out);
    }
};

// Answers boxes from a script and records them.
class CBoxScript
{
public:
    CBoxScript()
    {
        m_previous = SetMessageBoxHandler([this](const char* pszText, unsigned nType) {
            boxes.emplace_back(pszText, nType);
            if (answers.empty())
                return DefaultMessageBoxAnswer(nType);
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~CBoxScript() { SetMessageBoxHandler(std::move(m_previous)); }
    std::deque<int> answers;
    std::vector<std::pair<std::string, unsigned>> boxes;

private:
    MessageBoxHandler m_previous;
};

struct Fixture
{
    QTemporaryDir dir;
    CTextDoc doc;
    CRecentFileList recent{dir.filePath("recent.ini")};
    CScriptedFileDialogs dialogs;
    CDocumentFlow flow{doc, recent};
    CBoxScript boxes;
    int nReplaced = 0;

    Fixture()
    {
        doc.OnNewDocument();
        flow.SetDocumentReplacedHandler([this] { ++nReplaced; });
    }
    std::string Path(const char* pszName) const { return dir.filePath(pszName).toStdString(); }
    void Write(const char* pszName, const std::string& content) const { std::ofstream(Path(pszName)) << content; }
};
}

TEST(DocumentFlow, NewOnUnsavedChangesAsksFirst)
{
    const struct
    {
        int answer;
        const char* saveAsAnswer;
        bool newDone;
        const char* textAfter;
        bool fileWritten;
    } cases[] = {
        {IDCANCEL, "", false, "edited", false},
        {IDNO, "", true, "default", false},
        {IDYES, "kept", true, "default", true},
        {IDYES, "", false, "edited", false},  // Save As cancelled: nothing is replaced
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        Fixture f;
        f.doc.text = "edited";
        f.doc.SetModifiedFlag();
        f.boxes.answers = {c.answer};
        if (*c.saveAsAnswer)
            f.dialogs.Answer(f.Path(c.saveAsAnswer));
        EXPECT_EQ(f.flow.FileNew(), c.newDone);
        ASSERT_EQ(f.boxes.boxes.size(), 1u);
        EXPECT_EQ(f.boxes.boxes[0].first, "Save changes to Untitled?");
        EXPECT_EQ(f.boxes.boxes[0].second, unsigned{MB_YESNOCANCEL | MB_ICONEXCLAMATION});
        EXPECT_EQ(f.doc.text, c.textAfter);
        EXPECT_EQ(f.nReplaced, c.newDone ? 1 : 0);
        std::ifstream saved(f.Path("kept.bmk"));
        EXPECT_EQ(static_cast<bool>(saved), c.fileWritten);
        if (c.fileWritten) {
            std::string content;
            std::getline(saved, content);
            EXPECT_EQ(content, "TEXT:edited");
        }
    }
}

TEST(DocumentFlow, UnmodifiedDocumentIsReplacedWithoutAQuestion)
{
    Fixture f;
    EXPECT_TRUE(f.flow.FileNew());
    EXPECT_TRUE(f.boxes.boxes.empty());
    EXPECT_EQ(f.doc.GetTitle(), "Untitled");
}

TEST(DocumentFlow, OpenTitlesTheDocumentAndRemembersTheFile)
{
    Fixture f;
    f.Write("run1.bmk", "TEXT:from file");
    f.dialogs.Answer(f.Path("run1.bmk"));
    ASSERT_TRUE(f.flow.FileOpen());
    EXPECT_EQ(f.doc.text, "from file");
    EXPECT_EQ(f.doc.GetTitle(), "run1.bmk");
    EXPECT_EQ(f.doc.GetPathName(), f.Path("run1.bmk"));
    EXPECT_FALSE(f.doc.IsModified());
    EXPECT_EQ(f.recent.Paths(), (std::vector<std::string>{f.Path("run1.bmk")}));
    ASSERT_EQ(f.dialogs.Requests().size(), 1u);
    EXPECT_EQ(f.dialogs.Requests()[0].filter, "Benchmark Results (*.bmk);;All Files (*)");
    EXPECT_EQ(f.nReplaced, 1);
}

TEST(DocumentFlow, FailedOpenLeavesACleanNewDocument)
{
    Fixture f;
    f.Write("junk.bmk", "not a result file");
    EXPECT_FALSE(f.flow.OpenDocumentFile(f.Path("junk.bmk")));
    ASSERT_EQ(f.boxes.boxes.size(), 1u);
    EXPECT_EQ(f.boxes.boxes[0].first, "Unexpected file format.");
    EXPECT_EQ(f.doc.text, "default");
    EXPECT_EQ(f.doc.GetTitle(), "Untitled");
    EXPECT_TRUE(f.recent.Paths().empty());
    EXPECT_EQ(f.nReplaced, 1) << "the view shows the clean document";
}

TEST(DocumentFlow, SaveWritesOverTheOpenedFileAndSaveAsAddsTheExtension)
{
    Fixture f;
    f.Write("run1.bmk", "TEXT:old");
    ASSERT_TRUE(f.flow.OpenDocumentFile(f.Path("run1.bmk")));
    f.doc.text = "new";
    f.doc.SetModifiedFlag();
    ASSERT_TRUE(f.flow.FileSave());
    EXPECT_FALSE(f.doc.IsModified());
    EXPECT_TRUE(f.dialogs.Requests().empty()) << "a document with a file is saved without asking";
    std::string content;
    std::getline(std::ifstream(f.Path("run1.bmk")) >> std::ws, content);
    EXPECT_EQ(content, "TEXT:new");

    f.dialogs.Answer(f.Path("copy"));
    ASSERT_TRUE(f.flow.FileSaveAs());
    EXPECT_EQ(f.doc.GetTitle(), "copy.bmk");
    ASSERT_EQ(f.dialogs.Requests().size(), 1u);
    EXPECT_EQ(f.dialogs.Requests()[0].title, "Save As");
    EXPECT_EQ(f.dialogs.Requests()[0].filter, "Benchmark Results (*.bmk)");
    EXPECT_EQ(f.dialogs.Requests()[0].defaultExt, "bmk");
    EXPECT_EQ(f.dialogs.Requests()[0].initialName, f.Path("run1.bmk"));
    EXPECT_EQ(f.recent.Paths(), (std::vector<std::string>{f.Path("copy.bmk"), f.Path("run1.bmk")}));
}

TEST(DocumentFlow, SaveChangesNamesTheFileOfAnOpenedDocument)
{
    Fixture f;
    f.Write("run1.bmk", "TEXT:old");
    ASSERT_TRUE(f.flow.OpenDocumentFile(f.Path("run1.bmk")));
    f.doc.SetModifiedFlag();
    f.boxes.answers = {IDCANCEL};
    EXPECT_FALSE(f.flow.SaveModified());
    ASSERT_EQ(f.boxes.boxes.size(), 1u);
    EXPECT_EQ(f.boxes.boxes[0].first, "Save changes to " + f.Path("run1.bmk") + "?");
}

TEST(DocumentFlow, RecentFileThatNoLongerOpensLeavesTheList)
{
    Fixture f;
    f.Write("a.bmk", "TEXT:a");
    f.Write("b.bmk", "TEXT:b");
    ASSERT_TRUE(f.flow.OpenDocumentFile(f.Path("a.bmk")));
    ASSERT_TRUE(f.flow.OpenDocumentFile(f.Path("b.bmk")));
    ASSERT_TRUE(f.flow.OpenRecentFile(1));
    EXPECT_EQ(f.doc.text, "a");
    EXPECT_EQ(f.recent.Paths(), (std::vector<std::string>{f.Path("a.bmk"), f.Path("b.bmk")}));

    std::remove(f.Path("b.bmk").c_str());
    EXPECT_FALSE(f.flow.OpenRecentFile(1));
    EXPECT_EQ(f.recent.Paths(), (std::vector<std::string>{f.Path("a.bmk")}));
}

TEST(DocumentFlow, RecentFileAsksOnceAboutUnsavedChanges)
{
    Fixture f;
    f.Write("a.bmk", "TEXT:a");
    ASSERT_TRUE(f.flow.OpenDocumentFile(f.Path("a.bmk")));
    ASSERT_TRUE(f.flow.FileNew());
    f.doc.SetModifiedFlag();
    f.boxes.answers = {IDNO};
    ASSERT_TRUE(f.flow.OpenRecentFile(0));
    EXPECT_EQ(f.boxes.boxes.size(), 1u);
    EXPECT_EQ(f.doc.text, "a");
}
