#include "skin/layout/SkinLayout.h"

#include <algorithm>
#include <array>

#include "config/ControlNames.h"
#include "skin/layout/FaceTables.h"

namespace orvel::skin {

namespace {

template <typename Spec, typename Id>
const Spec* findById(std::span<const Spec> specs, Id which) {
    const auto it = std::find_if(specs.begin(), specs.end(),
                                 [&](const Spec& spec) { return spec.id == which; });
    return it == specs.end() ? nullptr : &*it;
}

// In FaceId order.
const std::array<FaceSpec, kFaceCount>& allFaces() {
    static const std::array<FaceSpec, kFaceCount> faces = {
        tables::front(),      tables::startup(),       tables::about(),    tables::device(),
        tables::background(), tables::mp3(),           tables::wma(),      tables::output(),
        tables::noise(),      tables::trackSplitter(), tables::schedule(),
    };
    return faces;
}

}  // namespace

std::string_view ControlSpec::name() const {
    return ControlNames::NameOf(id).value_or(std::string_view());
}

const ControlSpec* FaceSpec::control(ControlId which) const {
    return findById(controls, which);
}

const SliderSpec* FaceSpec::slider(SliderId which) const {
    return findById(sliders, which);
}

const AreaSpec* FaceSpec::area(AreaId which) const {
    return findById(areas, which);
}

std::span<const FaceSpec> SkinLayout::faces() {
    return allFaces();
}

const FaceSpec& SkinLayout::face(FaceId which) {
    return allFaces()[static_cast<std::size_t>(which)];
}

}  // namespace orvel::skin
