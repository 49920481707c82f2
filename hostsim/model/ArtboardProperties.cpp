#include "hostsim/model/ArtboardProperties.h"

#include <functional>

namespace hostsim {
namespace {

// Mixes one property into `hash`; one overload per type a property has, so that a property of
// a new type does not compile until it says how it hashes.
class Hasher {
  public:
    void operator()(const std::string& text) { Mix(std::hash<std::string>{}(text)); }
    void operator()(float x) {
        // The two zeros compare equal, so they hash alike.
        Mix(std::hash<float>{}(x == 0 ? 0.0F : x));
    }
    void operator()(const Rect& r) {
        for (const float x : {r.left, r.top, r.right, r.bottom}) {
            (*this)(x);
        }
    }
    void operator()(const Point& p) {
        (*this)(p.h);
        (*this)(p.v);
    }
    void operator()(const DisplayMarkSet& kinds) {
        Mix(kinds.size());
        for (const std::int32_t kind : kinds) {
            Mix(std::hash<std::int32_t>{}(kind));
        }
    }
    std::size_t Value() const { return hash_; }

  private:
    void Mix(std::size_t value) {
        hash_ ^=
            value + static_cast<std::size_t>(0x9e3779b97f4a7c15ULL) + (hash_ << 6) + (hash_ >> 2);
    }
    std::size_t hash_ = 0;
};

}  // namespace

std::string DisplayMarkKindsText() {
    std::string text;
    for (std::size_t i = 0; i < kDisplayMarkKinds.size(); ++i) {
        if (i > 0) {
            text += i + 1 == kDisplayMarkKinds.size() ? " and " : ", ";
        }
        text += std::to_string(kDisplayMarkKinds[i]);
    }
    return text;
}

std::size_t PropertiesHash(const ArtboardProperties& properties) {
    Hasher hasher;
    std::apply([&hasher](const auto&... field) { (hasher(field), ...); },
               ArtboardProperties::FieldsOf(properties));
    return hasher.Value();
}

}  // namespace hostsim
