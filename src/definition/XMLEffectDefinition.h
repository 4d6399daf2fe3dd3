#pragma once

#include "definition/DefinitionRecords.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

// The parsed effect definition: identity, inputs, bundled textures, parameters, user-interface
// layout, overlays and the render pipeline. Built empty, filled once by parseEmbedded.
class XMLEffectDefinition {
public:
    XMLEffectDefinition();
    ~XMLEffectDefinition();
    XMLEffectDefinition(XMLEffectDefinition&&) noexcept;
    XMLEffectDefinition& operator=(XMLEffectDefinition&&) noexcept;
    XMLEffectDefinition(const XMLEffectDefinition&) = delete;
    XMLEffectDefinition& operator=(const XMLEffectDefinition&) = delete;

    // Parses a NUL-terminated definition text. Never throws: failures log an ERROR line and
    // return false, and the partly filled definition must not be used.
    bool parseEmbedded(const char* text);

    const std::string& name() const { return name_; }
    const std::string& category() const { return category_; }
    const std::string& description() const { return description_; }
    const std::string& version() const { return version_; }
    const std::string& debugLevel() const { return debugLevel_; }
    const std::string& context() const { return context_; }
    bool isTransition() const { return context_ == "transition"; }
    bool supportsTimeline() const { return supportsTimeline_; }
    bool supportsMatte() const { return supportsMatte_; }
    bool isFrameVarying() const { return frameVarying_; }

    const std::vector<InputDef>& inputs() const { return inputs_; }
    const std::vector<ResourceDef>& resources() const { return resources_; }
    const std::vector<ParameterDef>& parameters() const { return parameters_; }
    const std::vector<IdentityCondition>& identityConditions() const { return identityConditions_; }

    const std::vector<UIGroupDef>& uiGroups() const { return uiGroups_; }
    const std::vector<PageDef>& pages() const { return pages_; }
    const std::vector<std::string>& topLevelParameters() const { return topLevelParameters_; }
    const std::vector<ProcessDef>& processes() const { return processes_; }
    const std::string& pipelineExecutions() const { return pipelineExecutions_; }
    const std::vector<std::string>& accumulationBuffers() const { return accumulationBuffers_; }
    const std::vector<OverlayDef>& overlays() const { return overlays_; }
    OverlayCoordinates overlayCoordinates() const { return overlayCoordinates_; }

    bool hasParameter(const std::string& name) const;
    // Throws std::out_of_range("Parameter not found: " + name) for an unknown name.
    const ParameterDef& getParameter(const std::string& name) const;

    // Describe-in-context adds the pages it synthesises for hosts that need them.
    void addPage(PageDef page) { pages_.push_back(std::move(page)); }

private:
    void clear();
    void parseEffectAttributes(const pugi::xml_node& effect);
    void parseInputs(const pugi::xml_node& inputs);
    void parseResources(const pugi::xml_node& resources);
    void parseParameters(const pugi::xml_node& parameters);
    void parseIdentityConditions(const pugi::xml_node& conditions);
    // Layout, overlays and pipeline.
    void parseUI(const pugi::xml_node& ui);
    void parsePages(const pugi::xml_node& pages);
    void parseAccumulationBuffers(const pugi::xml_node& buffers);
    void parsePipeline(const pugi::xml_node& pipeline);
    void parseOverlays(const pugi::xml_node& overlays);
    std::string checkedParameterReference(const pugi::xml_node& reference, const char* emptyMessage,
                                          const char* unknownPrefix) const;

    std::unique_ptr<pugi::xml_document> document_;
    std::string name_;
    std::string category_;
    std::string description_;
    std::string version_;
    std::string debugLevel_ = "none";
    std::string context_ = "filter";
    bool supportsTimeline_ = false;
    bool supportsMatte_ = false;
    bool frameVarying_ = true;
    std::vector<InputDef> inputs_;
    std::vector<ResourceDef> resources_;
    std::vector<ParameterDef> parameters_;
    std::map<std::string, std::size_t> parameterIndex_;
    std::vector<UIGroupDef> uiGroups_;
    std::vector<PageDef> pages_;
    std::vector<std::string> topLevelParameters_;
    std::vector<IdentityCondition> identityConditions_;
    std::vector<ProcessDef> processes_;
    std::string pipelineExecutions_ = "1";
    std::vector<std::string> accumulationBuffers_;
    std::vector<OverlayDef> overlays_;
    OverlayCoordinates overlayCoordinates_ = OverlayCoordinates::UV;
};
