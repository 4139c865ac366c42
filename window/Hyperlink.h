#pragma once

#include <QLabel>

#include <functional>
#include <string>

// The text the warning shows for a failed open, by its result code.
std::string HyperlinkErrorText(int nCode);

// Opens a link: the verb ("open", or null for the default action) and the
// address; returns a result above 32 on success, else an error code.
using LinkOpener = std::function<int(const char* pszVerb, const std::string& strUrl)>;

// The default opener. "open" runs xdg-open and waits a moment for its exit
// status: 0 (or still running) is success, 2 is code 2 (file not found), 3
// and 4 are code 31 (no application associated), others code 1; xdg-open
// that cannot be started is code 2. The default action asks Qt's URL
// handler, which only knows whether it could start one (else code 31).
int OpenLinkWithDesktop(const char* pszVerb, const std::string& strUrl);

// The banner at the foot of the form: a picture that opens the maker's site
// when clicked. The pointer over it is a hand; its look never changes.
class CHyperlink final : public QLabel
{
    Q_OBJECT

public:
    explicit CHyperlink(QWidget* pParent = nullptr);
    ~CHyperlink() override;
    CHyperlink(const CHyperlink&) = delete;
    CHyperlink& operator=(const CHyperlink&) = delete;

    const std::string& Url() const { return m_strUrl; }
    void SetOpener(LinkOpener opener);
    // What a click does: open, then once more with the default action, then warn.
    void OnClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    std::string m_strUrl;
    LinkOpener m_opener;
};
