#include <velmarith/WinSearch.h>

#include "search/frmDataSearch.h"
#include "toolkit/Desktop.h"

#include <atomic>

namespace velmarith {
namespace {

std::atomic<KeywordMatch> gDefaultMatch{KeywordMatch::Like};

} // namespace

// Nested in an exported class, but no part of the API.
class VELMARITH_NO_EXPORT WinSearch::Private
{
public:
    QString mCaption;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int16_t mWorkMode = 0;
    int16_t mDataType = 0;
    std::shared_ptr<Collection> mDataColl;
    QString mMainData;
    QString mSubData;
    QString mQueryTerm;
    QString mQueryKey;
    KeywordMatch mMatch = defaultKeywordMatch();
    std::unique_ptr<frmDataSearch> MyDataSearch;
};

WinSearch::WinSearch(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
}

WinSearch::~WinSearch() = default;

QString WinSearch::SearchCaption() const
{
    return d->mCaption;
}

int32_t WinSearch::SearchWidth() const
{
    return d->mWidth;
}

int32_t WinSearch::SearchHeight() const
{
    return d->mHeight;
}

int16_t WinSearch::SearchWorkMode() const
{
    return d->mWorkMode;
}

int16_t WinSearch::SearchDataType() const
{
    return d->mDataType;
}

std::shared_ptr<Collection> WinSearch::SearchDataColl() const
{
    return d->mDataColl;
}

QString WinSearch::SearchMainData() const
{
    return d->mMainData;
}

QString WinSearch::SearchSubData() const
{
    return d->mSubData;
}

QString WinSearch::SearchSearchSubData() const
{
    return d->mQueryTerm;
}

QString WinSearch::SearchQueryKey() const
{
    return d->mQueryKey;
}

KeywordMatch WinSearch::keywordMatch() const
{
    return d->mMatch;
}

void WinSearch::setSearchCaption(const QString &caption)
{
    d->mCaption = caption;
}

void WinSearch::setSearchWidth(int32_t width)
{
    d->mWidth = width;
}

void WinSearch::setSearchHeight(int32_t height)
{
    d->mHeight = height;
}

void WinSearch::setSearchWorkMode(int16_t mode)
{
    d->mWorkMode = mode;
}

void WinSearch::setSearchDataType(int16_t type)
{
    d->mDataType = type;
}

void WinSearch::setSearchDataColl(std::shared_ptr<Collection> rows)
{
    d->mDataColl = std::move(rows);
}

void WinSearch::setSearchMainData(const QString &statement)
{
    d->mMainData = statement;
}

void WinSearch::setSearchSubData(const QString &statement)
{
    d->mSubData = statement;
}

void WinSearch::setSearchSearchSubData(const QString &term)
{
    d->mQueryTerm = term;
}

void WinSearch::setSearchQueryKey(const QString &key)
{
    d->mQueryKey = key;
}

void WinSearch::setKeywordMatch(KeywordMatch match)
{
    d->mMatch = match;
}

void WinSearch::SearchAny()
{
    toolkit::ensureApplication();
    d->MyDataSearch = std::make_unique<frmDataSearch>();
    d->MyDataSearch->SearchCaption = d->mCaption;
    d->MyDataSearch->SearchWidth = d->mWidth;
    d->MyDataSearch->SearchHeight = d->mHeight;
    d->MyDataSearch->SearchWorkMode = d->mWorkMode;
    d->MyDataSearch->SearchDataType = d->mDataType;
    d->MyDataSearch->SearchDataColl = d->mDataColl;
    d->MyDataSearch->SearchMainData = d->mMainData;
    d->MyDataSearch->SearchSubData = d->mSubData;
    // Without these two the keyword filter could never run through the class.
    d->MyDataSearch->SearchQueryTerm = d->mQueryTerm;
    d->MyDataSearch->SearchQueryKey = d->mQueryKey;
    d->MyDataSearch->Matching = d->mMatch;
    d->MyDataSearch->ShowModal();
    emit SelectSuccess(d->MyDataSearch->SearchSelect);
}

QStringList WinSearch::queryFailures() const
{
    return d->MyDataSearch ? d->MyDataSearch->QueryFailures : QStringList();
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
