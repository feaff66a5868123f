#include "DesignProperties.h"

const TIdentList MergeDelimiterIdents = {"mdAuto", "mdComma", "mdTab", "mdSemicolon"};
const TIdentList MergeEncodingIdents = {"meAuto", "meUtf8", "meWindows1252"};

const TPropertyTable &TDesignProperties::Properties() const
{
    using C = TDesignProperties;
    static const TPropertyTable table(nullptr, {
        props::string("MergeSource", &C::MergeSource, &C::SetMergeSource),
        props::boolean("MergeHeader", &C::MergeHeader, &C::SetMergeHeader, true),
        props::enumeration("MergeDelimiter", MergeDelimiterIdents, &C::MergeDelimiter,
                           &C::SetMergeDelimiter, mdAuto),
        props::enumeration("MergeEncoding", MergeEncodingIdents, &C::MergeEncoding,
                           &C::SetMergeEncoding, meAuto),
    });
    return table;
}

bool TDesignProperties::IsDefault() const
{
    return mMergeSource.isEmpty() && mOptions.Header && mOptions.Delimiter == mdAuto
           && mOptions.Encoding == meAuto;
}

void TDesignProperties::Reset()
{
    mMergeSource.clear();
    mOptions = TMergeOptions();
}

TDesignProperties *TDesignProperties::Of(const QObject *panel)
{
    // Not a Q_OBJECT class: found by its C++ type, not by qobject_cast.
    if (panel)
        for (QObject *child : panel->children())
            if (auto *design = dynamic_cast<TDesignProperties *>(child))
                return design;
    return nullptr;
}
