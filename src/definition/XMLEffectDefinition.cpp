#include "definition/XMLEffectDefinition.h"

#include "log/Logger.h"

#include <pugixml.hpp>

#include <exception>
#include <stdexcept>

namespace {

bool isVectorType(const std::string& type) {
    return type == "color" || type == "vec2" || type == "vec3" || type == "vec4";
}

bool isNumericType(const std::string& type) {
    return type == "double" || type == "float" || type == "int";
}

// Pieces between commas; an empty text is one empty piece.
std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    while (true) {
        const std::string::size_type comma = text.find(',', start);
        if (comma == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

// Absent or empty text gives no numbers; a piece that is not a number throws (std::stod).
std::vector<double> numberList(const pugi::xml_attribute& attribute) {
    std::vector<double> numbers;
    const std::string text = attribute.as_string();
    if (text.empty()) {
        return numbers;
    }
    for (const std::string& piece : splitAtCommas(text)) {
        numbers.push_back(std::stod(piece));
    }
    return numbers;
}

std::vector<std::string> componentNames(const std::string& type) {
    if (type == "vec2") {
        return {"x", "y"};
    }
    if (type == "vec4") {
        return {"r", "g", "b", "a"};
    }
    return {"r", "g", "b"};
}

// Vector defaults written as one attribute each: default="1,2" min="0" max="4,4".
std::vector<ComponentDef> combinedComponents(const pugi::xml_node& node, const std::string& type) {
    const std::vector<std::string> tokens = splitAtCommas(node.attribute("default").as_string());
    const std::vector<double> mins = numberList(node.attribute("min"));
    const std::vector<double> maxs = numberList(node.attribute("max"));
    const std::vector<std::string> names = componentNames(type);
    const double increment = node.attribute("inc").as_double(0.01);

    std::vector<ComponentDef> components;
    for (std::size_t i = 0; i < names.size() && i < tokens.size(); ++i) {
        ComponentDef component;
        component.name = names[i];
        component.defaultValue = std::stod(tokens[i]);
        component.min = i < mins.size() ? mins[i] : 0.0;
        component.max = i < maxs.size() ? maxs[i] : 1.0;
        component.increment = increment;
        components.push_back(component);
    }
    return components;
}

ParameterDef parseParameter(const pugi::xml_node& node) {
    ParameterDef param;
    param.name = node.attribute("name").as_string();
    param.type = node.attribute("type").as_string();
    param.label = node.attribute("label").as_string();
    param.hint = node.attribute("hint").as_string();
    if (param.name.empty()) {
        throw std::runtime_error("Parameter must have a name attribute");
    }
    if (param.type.empty()) {
        throw std::runtime_error("Parameter must have a type attribute");
    }
    if (param.label.empty()) {
        param.label = param.name;
    }
    param.resDependent = node.attribute("res_dependent").as_string("none");

    const std::string& type = param.type;
    if (isNumericType(type)) {
        param.defaultValue = node.attribute("default").as_double(0.0);
        param.min = node.attribute("min").as_double(0.0);
        param.max = node.attribute("max").as_double(1.0);
        param.displayMin = node.attribute("displayMin").as_double(param.min);
        param.displayMax = node.attribute("displayMax").as_double(param.max);
        param.increment = node.attribute("inc").as_double(0.1);
    } else if (type == "bool") {
        param.boolDefault = node.attribute("default").as_bool(false);
    } else if (type == "string") {
        param.textDefault = node.attribute("default").as_string();
    } else if (type == "filepath") {
        param.textDefault = node.attribute("default").as_string();
        param.mustExist = node.attribute("mustexist").as_bool(false);
    } else if (type == "curve") {
        param.curveDefaultShape = node.attribute("default_shape").as_string("linear");
        param.curveBackground = node.attribute("curve_background").as_int(0);
    } else if (type == "choice") {
        param.defaultValue = node.attribute("default").as_double(0.0);
        for (const pugi::xml_node& optionNode : node.children("option")) {
            OptionDef option;
            option.value = optionNode.attribute("value").as_string();
            option.label = optionNode.attribute("label").as_string();
            if (option.value.empty()) {
                throw std::runtime_error("Option must have a value attribute");
            }
            if (option.label.empty()) {
                option.label = option.value;
            }
            param.options.push_back(option);
        }
    } else if (isVectorType(type)) {
        for (const pugi::xml_node& componentNode : node.children("component")) {
            ComponentDef component;
            component.name = componentNode.attribute("name").as_string();
            component.defaultValue = componentNode.attribute("default").as_double(0.0);
            component.min = componentNode.attribute("min").as_double(0.0);
            component.max = componentNode.attribute("max").as_double(1.0);
            component.increment = componentNode.attribute("inc").as_double(0.01);
            if (component.name.empty()) {
                throw std::runtime_error("Component must have a name attribute");
            }
            param.components.push_back(component);
        }
        if (param.components.empty() && node.attribute("default")) {
            param.components = combinedComponents(node, type);
        }
    }
    return param;
}

} // namespace

int noInputModeCode(const std::string& mode) {
    if (mode == "error") {
        return 0;
    }
    if (mode == "black") {
        return 1;
    }
    if (mode == "transparent") {
        return 3;
    }
    return 2;
}

XMLEffectDefinition::XMLEffectDefinition() : document_(std::make_unique<pugi::xml_document>()) {
    HALDEN_LOG_INFO("XMLEffectDefinition default constructor (for embedded XML)");
}

XMLEffectDefinition::~XMLEffectDefinition() = default;
XMLEffectDefinition::XMLEffectDefinition(XMLEffectDefinition&&) noexcept = default;
XMLEffectDefinition& XMLEffectDefinition::operator=(XMLEffectDefinition&&) noexcept = default;

// A second parse starts from an empty definition rather than appending to the first.
void XMLEffectDefinition::clear() {
    document_->reset();
    name_.clear();
    category_.clear();
    description_.clear();
    version_.clear();
    debugLevel_ = "none";
    context_ = "filter";
    supportsTimeline_ = false;
    supportsMatte_ = false;
    frameVarying_ = true;
    inputs_.clear();
    resources_.clear();
    parameters_.clear();
    parameterIndex_.clear();
    uiGroups_.clear();
    pages_.clear();
    topLevelParameters_.clear();
    identityConditions_.clear();
    processes_.clear();
    pipelineExecutions_ = "1";
    accumulationBuffers_.clear();
    overlays_.clear();
    overlayCoordinates_ = OverlayCoordinates::UV;
}

bool XMLEffectDefinition::parseEmbedded(const char* text) {
    HALDEN_LOG_INFO("Parsing XML from embedded string");
    if (text == nullptr) {
        HALDEN_LOG_ERROR("Embedded XML content is null");
        return false;
    }
    if (!document_) {
        document_ = std::make_unique<pugi::xml_document>();
    }
    clear();

    const pugi::xml_parse_result result = document_->load_string(text);
    if (!result) {
        HALDEN_LOG_ERROR("Failed to parse embedded XML: %s", result.description());
        return false;
    }
    const pugi::xml_node effect = document_->child("effect");
    if (!effect) {
        HALDEN_LOG_ERROR("Embedded XML does not contain an effect element");
        return false;
    }

    try {
        // Order matters: <ui> and <identity_conditions> refer to parameters, <pages> to groups.
        parseEffectAttributes(effect);
        if (const pugi::xml_node node = effect.child("inputs")) {
            parseInputs(node);
        }
        if (const pugi::xml_node node = effect.child("resources")) {
            parseResources(node);
        }
        if (const pugi::xml_node node = effect.child("parameters")) {
            parseParameters(node);
        }
        if (const pugi::xml_node node = effect.child("ui")) {
            parseUI(node);
        }
        if (const pugi::xml_node node = effect.child("pages")) {
            parsePages(node);
        }
        if (const pugi::xml_node node = effect.child("accumulation_buffers")) {
            parseAccumulationBuffers(node);
        }
        const pugi::xml_node pipeline = effect.child("pipeline");
        if (!pipeline) {
            throw std::runtime_error(
                "Effect must have a <pipeline> section with <process> children");
        }
        parsePipeline(pipeline);
        HALDEN_LOG_INFO("Parsed %zu processes from <pipeline> section", processes_.size());
        if (const pugi::xml_node node = effect.child("identity_conditions")) {
            parseIdentityConditions(node);
        }
        if (const pugi::xml_node node = effect.child("overlays")) {
            parseOverlays(node);
        }
    } catch (const std::exception& e) {
        HALDEN_LOG_ERROR("Failed to parse embedded XML: %s", e.what());
        return false;
    }

    HALDEN_LOG_INFO("Embedded XML parsed successfully: effect '%s'", name_.c_str());
    HALDEN_LOG_INFO("Debug level from embedded XML: %s", debugLevel_.c_str());
    return true;
}

void XMLEffectDefinition::parseEffectAttributes(const pugi::xml_node& effect) {
    name_ = effect.attribute("name").as_string();
    category_ = effect.attribute("category").as_string();
    debugLevel_ = effect.attribute("debug_level").as_string("none");
    if (name_.empty()) {
        throw std::runtime_error("Effect must have a name attribute");
    }
    if (category_.empty()) {
        throw std::runtime_error("Effect must have a category attribute");
    }
    version_ = effect.attribute("version").as_string();
    supportsTimeline_ = effect.attribute("supports_timeline").as_bool(false);
    supportsMatte_ = effect.attribute("supports_matte").as_bool(false);
    frameVarying_ = effect.attribute("frame_varying").as_bool(true);

    if (const pugi::xml_node description = effect.child("description")) {
        description_ = description.text().as_string();
    }
    if (const pugi::xml_node context = effect.child("context")) {
        context_ = context.text().as_string("filter");
        if (context_ != "filter" && context_ != "transition") {
            HALDEN_LOG_INFO("Invalid context '%s', defaulting to 'filter'", context_.c_str());
            context_ = "filter";
        }
        HALDEN_LOG_INFO("Effect context: %s", context_.c_str());
    }
}

void XMLEffectDefinition::parseInputs(const pugi::xml_node& inputs) {
    for (const pugi::xml_node& source : inputs.children("source")) {
        InputDef input;
        input.name = source.attribute("name").as_string();
        input.label = source.attribute("label").as_string();
        input.borderMode = source.attribute("border_mode").as_string("clamp");
        HALDEN_LOG_INFO("Parsing noinput for input: %s", input.name.c_str());

        const pugi::xml_attribute noInput = source.attribute("noinput");
        const pugi::xml_attribute optional = source.attribute("optional");
        if (noInput) {
            input.noInputMode = noInput.as_string();
            HALDEN_LOG_INFO("Found noinput attribute: '%s'", input.noInputMode.c_str());
        } else if (optional.as_bool(false)) {
            input.noInputMode = "white";
            HALDEN_LOG_INFO("No noinput attribute, but optional=true, using 'white'");
        } else {
            input.noInputMode = "error";
            HALDEN_LOG_INFO("No noinput attribute and not optional, using 'error'");
        }

        if (optional) {
            input.optional = optional.as_bool(false);
            HALDEN_LOG_INFO("Input '%s': optional explicitly set to %d", input.name.c_str(),
                            input.optional ? 1 : 0);
        } else {
            input.optional = input.noInputMode != "error";
            HALDEN_LOG_INFO("Input '%s': optional inferred as %d from noinput='%s'",
                            input.name.c_str(), input.optional ? 1 : 0, input.noInputMode.c_str());
        }

        if (input.name.empty()) {
            throw std::runtime_error("Input source must have a name attribute");
        }
        if (input.label.empty()) {
            input.label = input.name;
        }
        HALDEN_LOG_INFO("Input parsed - name: %s, noInputMode: %s", input.name.c_str(),
                        input.noInputMode.c_str());
        inputs_.push_back(input);
    }
}

void XMLEffectDefinition::parseResources(const pugi::xml_node& resources) {
    for (const pugi::xml_node& texture : resources.children("texture")) {
        ResourceDef resource;
        resource.name = texture.attribute("name").as_string();
        resource.file = texture.attribute("file").as_string();
        resource.channels = texture.attribute("channels").as_int(4);
        resource.sampler = texture.attribute("sampler").as_string("linear");
        resource.wrap = texture.attribute("wrap").as_string("mirror");
        if (resource.name.empty()) {
            throw std::runtime_error("Resource texture must have a name attribute");
        }
        if (resource.file.empty()) {
            throw std::runtime_error("Resource texture must have a file attribute");
        }
        if (resource.sampler != "linear" && resource.sampler != "nearest") {
            HALDEN_LOG_INFO("Resource '%s': invalid sampler '%s', using 'linear'",
                            resource.name.c_str(), resource.sampler.c_str());
            resource.sampler = "linear";
        }
        if (resource.wrap != "clamp" && resource.wrap != "repeat" && resource.wrap != "mirror") {
            HALDEN_LOG_INFO("Resource '%s': invalid wrap '%s', using 'mirror'",
                            resource.name.c_str(), resource.wrap.c_str());
            resource.wrap = "mirror";
        }
        if (resource.channels < 1 || resource.channels > 4) {
            HALDEN_LOG_INFO("Resource '%s': invalid channels %d, using 4", resource.name.c_str(),
                            resource.channels);
            resource.channels = 4;
        }
        HALDEN_LOG_INFO("Resource parsed - name: %s, file: %s, channels: %d, sampler: %s, wrap: %s",
                        resource.name.c_str(), resource.file.c_str(), resource.channels,
                        resource.sampler.c_str(), resource.wrap.c_str());
        resources_.push_back(resource);
    }
    HALDEN_LOG_INFO("Parsed %zu bundled resources", resources_.size());
}

void XMLEffectDefinition::parseParameters(const pugi::xml_node& parameters) {
    for (const pugi::xml_node& node : parameters.children("parameter")) {
        ParameterDef param = parseParameter(node);
        // A repeated name keeps both records; look-ups find the later one.
        parameterIndex_[param.name] = parameters_.size();
        parameters_.push_back(std::move(param));
    }
}

void XMLEffectDefinition::parseIdentityConditions(const pugi::xml_node& conditions) {
    for (const pugi::xml_node& conditionNode : conditions.children("condition")) {
        const pugi::xml_node param = conditionNode.child("parameter");
        if (!param) {
            throw std::runtime_error("Condition must have a parameter element");
        }
        IdentityCondition condition;
        condition.parameterName = param.attribute("name").as_string();
        condition.op = param.attribute("operator").as_string();
        condition.value = param.attribute("value").as_double(0.0);
        if (condition.parameterName.empty()) {
            throw std::runtime_error("Parameter in condition must have a name attribute");
        }
        if (condition.op.empty()) {
            throw std::runtime_error("Parameter in condition must have an operator attribute");
        }
        if (!hasParameter(condition.parameterName)) {
            throw std::runtime_error("Referenced parameter does not exist: " +
                                     condition.parameterName);
        }
        identityConditions_.push_back(condition);
    }
}

bool XMLEffectDefinition::hasParameter(const std::string& name) const {
    return parameterIndex_.count(name) != 0;
}

const ParameterDef& XMLEffectDefinition::getParameter(const std::string& name) const {
    const auto found = parameterIndex_.find(name);
    if (found == parameterIndex_.end()) {
        throw std::out_of_range("Parameter not found: " + name);
    }
    return parameters_[found->second];
}
