#include "describe/XMLParameterManager.h"

#include "log/Logger.h"

#include "ofx/support/BooleanParam.h"
#include "ofx/support/GroupParam.h"
#include "ofx/support/ImageEffectDescriptor.h"
#include "ofx/support/PageParam.h"

#include <exception>

namespace {

// The parameters of a group in placement order: columns first, then direct parameters.
std::vector<std::string> groupParameters(const UIGroupDef& group) {
    std::vector<std::string> names;
    for (const UIColumnDef& column : group.columns) {
        names.insert(names.end(), column.parameters.begin(), column.parameters.end());
    }
    names.insert(names.end(), group.parameters.begin(), group.parameters.end());
    return names;
}

std::vector<int> widthsOf(const std::vector<std::string>& names,
                          const XMLEffectDefinition& definition) {
    std::vector<int> widths;
    for (const std::string& name : names) {
        widths.push_back(XMLParameterManager::controlWidth(
            definition.hasParameter(name) ? definition.getParameter(name).type : std::string()));
    }
    return widths;
}

OFX::GroupParamDescriptor* defineGroup(OFX::ImageEffectDescriptor& desc, const UIGroupDef& group) {
    OFX::GroupParamDescriptor* g = desc.defineGroupParam("_grp_" + group.name);
    g->setLabels(group.name, group.name, group.name);
    g->setOpen(group.open);
    if (!group.tooltip.empty()) {
        g->setHint(group.tooltip);
    }
    return g;
}

OFX::PageParamDescriptor* definePage(OFX::ImageEffectDescriptor& desc,
                                     XMLParameterManager::PageMap& pages, const std::string& name) {
    OFX::PageParamDescriptor* page = desc.definePageParam(name);
    page->setLabels(name, name, name);
    pages[name] = page;
    return page;
}

} // namespace

int XMLParameterManager::controlWidth(const std::string& type) {
    return type == "vec2" || type == "choice" ? 2 : 1;
}

int XMLParameterManager::packedColumns(const std::vector<int>& widths) {
    int columns = 1;
    int fill = 0;
    for (int width : widths) {
        if (fill + width > kSlotsPerColumn) {
            ++columns;
            fill = width;
        } else {
            fill += width;
        }
    }
    return columns;
}

int XMLParameterManager::groupColumns(const UIGroupDef& group,
                                      const XMLEffectDefinition& definition) {
    const std::vector<std::string> names = groupParameters(group);
    return names.empty() ? 1 : packedColumns(widthsOf(names, definition));
}

int XMLParameterManager::topLevelColumns(const XMLEffectDefinition& definition) {
    const std::vector<std::string>& names = definition.topLevelParameters();
    return names.empty() ? 0 : packedColumns(widthsOf(names, definition));
}

void XMLParameterManager::synthesizeDefaultPages(XMLEffectDefinition& definition) {
    if (!definition.pages().empty() ||
        (definition.uiGroups().empty() && definition.topLevelParameters().empty())) {
        return;
    }
    HALDEN_LOG_INFO("synthesizeDefaultPages: auto-generating page layout from %zu groups",
                    definition.uiGroups().size());
    int counter = 1;
    PageDef page;
    page.name = "Main";
    int total = 0;
    std::size_t groupsOnPage = 0;
    if (!definition.topLevelParameters().empty()) {
        page.items.push_back({PageItemKind::TopLevel, std::string()});
        total = topLevelColumns(definition);
    }
    const auto close = [&]() {
        HALDEN_LOG_INFO("  Synthesized page '%s' with %zu group(s), %d columns", page.name.c_str(),
                        groupsOnPage, total);
        definition.addPage(page);
    };
    const std::size_t groupCount = definition.uiGroups().size();
    for (std::size_t i = 0; i < groupCount; ++i) {
        const UIGroupDef group = definition.uiGroups()[i];
        const int columns = groupColumns(group, definition);
        if (total >= 1 && total + columns >= kColumnsPerTab + 1) {
            close();
            ++counter;
            page = PageDef{};
            page.name = "Page " + std::to_string(counter);
            total = 0;
            groupsOnPage = 0;
        }
        page.items.push_back({PageItemKind::Group, group.name});
        total += columns;
        ++groupsOnPage;
    }
    close();
    HALDEN_LOG_INFO("synthesizeDefaultPages: created %zu page(s) from %zu groups",
                    definition.pages().size(), groupCount);
}

void XMLParameterManager::addPadding(OFX::ImageEffectDescriptor& desc,
                                     OFX::PageParamDescriptor& page, int columns) {
    for (int c = 0; c < columns; ++c) {
        const std::string name = "_pad_" + std::to_string(paddingCounter_);
        OFX::GroupParamDescriptor* group = desc.defineGroupParam(name);
        group->setLabels(" ", " ", " ");
        group->setOpen(false);
        group->setEnabled(false);
        page.addChild(*group);
        for (int i = 0; i < kPaddingBooleansPerColumn; ++i) {
            OFX::BooleanParamDescriptor* filler =
                desc.defineBooleanParam(name + "_" + std::to_string(i));
            filler->setLabels(" ", " ", " ");
            filler->setDefault(false);
            filler->setEnabled(false);
            filler->setParent(*group);
        }
        ++paddingCounter_;
    }
}

bool XMLParameterManager::createAndOrganizeWithPages(const XMLEffectDefinition& definition,
                                                     OFX::ImageEffectDescriptor& desc,
                                                     PageMap& pages) {
    try {
        HALDEN_LOG_INFO("XMLParameterManager::createAndOrganizeWithPages called (interleaved "
                        "definition order)");
        std::map<std::string, const UIGroupDef*> groups;
        for (const UIGroupDef& group : definition.uiGroups()) {
            groups[group.name] = &group;
        }
        std::set<std::string> created;
        const auto create = [&](const std::string& name) {
            if (created.insert(name).second && definition.hasParameter(name)) {
                createParameter(definition.getParameter(name), desc, true);
            }
            return desc.getParamDescriptor(name);
        };

        int userTabs = 0;
        for (const PageDef& pageDef : definition.pages()) {
            OFX::PageParamDescriptor* page = definePage(desc, pages, pageDef.name);
            int total = 0;
            for (const PageItem& item : pageDef.items) {
                if (item.kind == PageItemKind::TopLevel) {
                    for (const std::string& name : definition.topLevelParameters()) {
                        if (OFX::ParamDescriptor* param = create(name)) {
                            page->addChild(*param);
                        }
                    }
                    total += topLevelColumns(definition);
                    continue;
                }
                const auto found = groups.find(item.groupName);
                if (found == groups.end()) {
                    HALDEN_LOG_ERROR("Group '%s' not found", item.groupName.c_str());
                    continue;
                }
                OFX::GroupParamDescriptor* group = defineGroup(desc, *found->second);
                page->addChild(*group);
                for (const std::string& name : groupParameters(*found->second)) {
                    if (OFX::ParamDescriptor* param = create(name)) {
                        param->setParent(*group);
                    }
                }
                total += groupColumns(*found->second, definition);
            }

            const int padded = (total + kColumnsPerTab - 1) / kColumnsPerTab * kColumnsPerTab;
            const int padding = padded - total;
            const int tabs = padded / kColumnsPerTab;
            HALDEN_LOG_INFO("  Page '%s': %d columns used, padding to %d (%d padding cols, %d "
                            "Flame tab%s)",
                            pageDef.name.c_str(), total, padded, padding, tabs,
                            tabs > 1 ? "s" : "");
            userTabs += tabs;
            for (int tab = 2; tab <= tabs; ++tab) {
                const std::string overflow = pageDef.name + " (" + std::to_string(tab) + ")";
                definePage(desc, pages, overflow);
                HALDEN_LOG_INFO("    Overflow page '%s' for tab %d of %d", overflow.c_str(), tab,
                                tabs);
            }
            addPadding(desc, *page, padding);
        }
        const int totalTabs = userTabs + 1;
        HALDEN_LOG_INFO("  Total Flame tabs: %d (user: %d + Settings: 1)%s", totalTabs, userTabs,
                        totalTabs > kTabsBeforeDropDown
                            ? " WARNING: >5 tabs triggers Flame dropdown mode!"
                            : "");

        int unreferenced = 0;
        for (const ParameterDef& param : definition.parameters()) {
            if (created.count(param.name) == 0) {
                HALDEN_LOG_ERROR("WARNING: Parameter '%s' defined in <parameters> but not "
                                 "referenced in any <ui> group or top-level — not created!",
                                 param.name.c_str());
                ++unreferenced;
            }
        }
        if (unreferenced > 0) {
            HALDEN_LOG_ERROR("WARNING: %d parameters not referenced in <ui> groups. They will not "
                             "appear in the plugin!",
                             unreferenced);
        }
        HALDEN_LOG_INFO("XMLParameterManager::createAndOrganizeWithPages completed (%zu params "
                        "defined)",
                        created.size());
        return true;
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("ERROR in createAndOrganizeWithPages: %s", e.what());
        return false;
    }
}

bool XMLParameterManager::createParameters(const XMLEffectDefinition& definition,
                                           OFX::ImageEffectDescriptor& desc, PageMap& pages) {
    HALDEN_LOG_INFO("XMLParameterManager::createParameters called");
    if (pages.empty()) {
        definePage(desc, pages, "Main");
    }
    for (const ParameterDef& param : definition.parameters()) {
        createParameter(param, desc, false);
    }
    HALDEN_LOG_INFO("XMLParameterManager::createParameters completed successfully");
    return true;
}

bool XMLParameterManager::organizeUI(const XMLEffectDefinition& definition,
                                     OFX::ImageEffectDescriptor& desc, PageMap& pages) {
    HALDEN_LOG_INFO("XMLParameterManager::organizeUI called");
    if (pages.empty()) {
        definePage(desc, pages, "Main");
    }
    OFX::PageParamDescriptor* main = pages.count("Main") ? pages["Main"] : nullptr;
    int parented = 0;
    for (const UIGroupDef& groupDef : definition.uiGroups()) {
        OFX::GroupParamDescriptor* group = defineGroup(desc, groupDef);
        if (main != nullptr) {
            main->addChild(*group);
        }
        for (const std::string& name : groupParameters(groupDef)) {
            if (OFX::ParamDescriptor* param = desc.getParamDescriptor(name)) {
                param->setParent(*group);
                ++parented;
            } else {
                HALDEN_LOG_DEBUG("Parameter not found: %s", name.c_str());
            }
        }
    }
    HALDEN_LOG_INFO("Created %d UI groups with %d total parameters",
                    static_cast<int>(definition.uiGroups().size()), parented);
    HALDEN_LOG_INFO("XMLParameterManager::organizeUI completed successfully");
    return true;
}
