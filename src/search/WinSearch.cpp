#include <velmarith/WinSearch.h>

#include "search/frmDataSearch.h"
#include "toolkit/Desktop.h"

#include <atomic>

namespace velmarith {
namespace {

std::atomic<KeywordMatch> gDefaultMatch{KeywordMatch::Like};

} // namespace

WinSearch::WinSearch(QObject *parent) : QObject(parent) {}

WinSearch::~WinSearch() = default;

void WinSearch::SearchAny()
{
    toolkit::ensureApplication();
    MyDataSearch = std::make_unique<frmDataSearch>();
    MyDataSearch->SearchCaption = mCaption;
    MyDataSearch->SearchWidth = mWidth;
    MyDataSearch->SearchHeight = mHeight;
    MyDataSearch->SearchWorkMode = mWorkMode;
    MyDataSearch->SearchDataType = mDataType;
    MyDataSearch->SearchDataColl = mDataColl;
    MyDataSearch->SearchMainData = mMainData;
    MyDataSearch->SearchSubData = mSubData;
    // Without these two the keyword filter could never run through the class.
    MyDataSearch->SearchQueryTerm = mQueryTerm;
    MyDataSearch->SearchQueryKey = mQueryKey;
    MyDataSearch->Matching = mMatch;
    MyDataSearch->ShowModal();
    emit SelectSuccess(MyDataSearch->SearchSelect);
}

QStringList WinSearch::queryFailures() const
{
    return MyDataSearch ? MyDataSearch->QueryFailures : QStringList();
}

KeywordMatch WinSearch::defaultKeywordMatch()
{
    return gDefaultMatch.load();
}

void WinSearch::setDefaultKeywordMatch(KeywordMatch match)
{
    gDefaultMatch.store(match);
}

} // namespace velmarith
