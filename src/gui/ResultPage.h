#pragma once
// A page of the main window that shows the last scan's result: built when it becomes the
// current page after a scan, emptied before the records it shows go away.

namespace ut::gui {

class ResultPage {
  public:
    virtual ~ResultPage() = default;
    /// Builds what the page shows, if it has not done so since it was last emptied.
    virtual void ShowResult() = 0;
    /// Forgets what it shows: a new scan, or a filter change, is coming.
    virtual void ClearResult() = 0;
};

} // namespace ut::gui
