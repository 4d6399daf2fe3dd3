#pragma once

#include "definition/XMLEffectDefinition.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace OFX {
class ImageEffectDescriptor;
class PageParamDescriptor;
class ParamDescriptor;
} // namespace OFX

// Turns the definition's parameters into OFX parameter descriptors and lays them out: page by
// page, padded to the host's six-column tab grid, for hosts that show pages; on one page with
// groups for the others. One manager per describe-in-context call.
class XMLParameterManager {
public:
    using PageMap = std::map<std::string, OFX::PageParamDescriptor*>;

    static constexpr int kSlotsPerColumn = 5;
    static constexpr int kColumnsPerTab = 6;
    static constexpr int kPaddingBooleansPerColumn = 5;
    static constexpr int kTabsBeforeDropDown = 5;

    // Paged layout.
    bool createAndOrganizeWithPages(const XMLEffectDefinition& definition,
                                    OFX::ImageEffectDescriptor& desc, PageMap& pages);
    // Legacy layout, called in this order.
    bool createParameters(const XMLEffectDefinition& definition, OFX::ImageEffectDescriptor& desc,
                          PageMap& pages);
    bool organizeUI(const XMLEffectDefinition& definition, OFX::ImageEffectDescriptor& desc,
                    PageMap& pages);

    // Pages for a definition that has none, filled up to six columns each.
    static void synthesizeDefaultPages(XMLEffectDefinition& definition);

    // Column arithmetic: widths packed greedily into columns of kSlotsPerColumn slots.
    static int controlWidth(const std::string& type);
    static int packedColumns(const std::vector<int>& widths);
    static int groupColumns(const UIGroupDef& group, const XMLEffectDefinition& definition);
    static int topLevelColumns(const XMLEffectDefinition& definition);

    // One descriptor from a definition record; nullptr for types the host cannot be given.
    OFX::ParamDescriptor* createParameter(const ParameterDef& param,
                                          OFX::ImageEffectDescriptor& desc, bool paged);

private:
    void addPadding(OFX::ImageEffectDescriptor& desc, OFX::PageParamDescriptor& page, int columns);

    int paddingCounter_ = 0;
};
