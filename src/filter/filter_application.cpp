#include "filter/filter_application.h"

#include "run/settings.h"

FilterActivity filterActivity;

namespace {

bool inUse(const FilterList& list) { return list.count > 0; }
bool inUse(const DateRange& range) { return range.start.year != -1 || range.end.year != -1; }

}  // namespace

void setFilterActivity() {
    const Settings& s = settings;
    FilterActivity& a = filterActivity;
    bool pathSkip = inUse(s.skipHead) || inUse(s.skipHeadCase) || inUse(s.skipTail) ||
                    inUse(s.skipTailCase) || inUse(s.skipPath) || inUse(s.skipPathCase);
    a.sourceDirSkip = pathSkip || inUse(s.skipDir) || inUse(s.skipDirCase) ||
                      s.skipAttr.dirMaskCount > 0 || s.skipAttrExact.dirMaskCount > 0;
    a.sourceFileSkip = pathSkip || inUse(s.skipFile) || inUse(s.skipFileCase) ||
                       inUse(s.skipExt) || inUse(s.skipExtCase) ||
                       s.skipAttr.fileMaskCount > 0 || s.skipAttrExact.fileMaskCount > 0;

    a.sizeLimit = s.sizeRange.from != -1 || s.sizeRange.to != -1;
    a.fileDateLimit = inUse(s.dateWrite) || inUse(s.dateCreate) || inUse(s.dateAccess);
    a.dirDateLimit = inUse(s.dirDateWrite) || inUse(s.dirDateCreate) || inUse(s.dirDateAccess);
    bool pathLimit = inUse(s.limitHead) || inUse(s.limitHeadCase) || inUse(s.limitPath) ||
                     inUse(s.limitPathCase);
    a.sourceDirLimit = pathLimit || inUse(s.limitDir) || inUse(s.limitDirCase) ||
                       s.limitAttr.dirMaskCount > 0 || s.limitAttrExact.dirMaskCount > 0 ||
                       a.dirDateLimit;
    a.sourceFileLimit = pathLimit || inUse(s.limitTail) || inUse(s.limitTailCase) ||
                        inUse(s.limitFile) || inUse(s.limitFileCase) || inUse(s.limitExt) ||
                        inUse(s.limitExtCase) || s.limitAttr.fileMaskCount > 0 ||
                        s.limitAttrExact.fileMaskCount > 0 || a.sizeLimit || a.fileDateLimit;

    a.destDirSkip = a.destFileSkip = inUse(s.destSkipHead) || inUse(s.destSkipHeadCase) ||
                                     inUse(s.destSkipPath) || inUse(s.destSkipPathCase);
    a.destDirLimit = a.destFileLimit = inUse(s.destLimitHead) || inUse(s.destLimitHeadCase) ||
                                       inUse(s.destLimitPath) || inUse(s.destLimitPathCase);
}

bool isDirExcluded(const char*, const char*, const char*) { return false; }
bool isFileExcluded(const char*, const char*, const char*) { return false; }
