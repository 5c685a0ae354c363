#include "entity/ZDataComponent.h"

#include <cstdio>

#include "entity/ZEntity.h"
#include "foundation/ZHandleRegistry.h"

namespace {

// Up to four floats separated by spaces; missing ones are 0.
void ReadFloats(const ZString& text, float* out, const int count) {
    ZArray<ZString> parts;
    text.Trim().Split(" ", parts);
    int filled = 0;
    for (const ZString& part : parts) {
        if (part.IsEmpty()) {
            continue;
        }
        if (filled == count) {
            break;
        }
        out[filled++] = part.ToFloat();
    }
}

ZString Format(const char* format, const float* values, const int count) {
    char buffer[256];
    switch (count) {
        case 2: std::snprintf(buffer, sizeof buffer, format, values[0], values[1]); break;
        case 3: std::snprintf(buffer, sizeof buffer, format, values[0], values[1], values[2]); break;
        default: std::snprintf(buffer, sizeof buffer, format, values[0], values[1], values[2], values[3]); break;
    }
    return ZString(buffer);
}

}  // namespace

ZHashedString ZDataComponent::GetSerialName() const {
    static const ZHashedString kind("Data");
    return kind;
}

void ZDataComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kDatum("Datum");
    static const ZHashedString kName("Name");
    static const ZHashedString kType("Type");
    static const ZHashedString kValue("Value");
    static const ZHashedString kInt("Int");
    static const ZHashedString kFloat("Float");
    static const ZHashedString kBool("Bool");
    static const ZHashedString kVec2("Vec2");
    static const ZHashedString kVec3("Vec3");
    static const ZHashedString kVec4("Vec4");
    static const ZHashedString kString("String");
    static const ZHashedString kHashedString("HashedString");
    for (const ZDefNode& child : element.children) {
        if (child.name != kDatum || !child.HasAttribute(kName) || !child.HasAttribute(kType)) {
            continue;
        }
        const ZHashedString name(child.GetAttribute(kName).GetText());
        const ZHashedString type(child.GetAttribute(kType).GetText());
        const ZString& text = child.GetAttribute(kValue);
        AddDatum(name);
        ZDatumEntry entry;
        if (type == kInt) {
            entry = ZDatumEntry::Int(text.ToInt());
        } else if (type == kFloat) {
            entry = ZDatumEntry::Float(text.ToFloat());
        } else if (type == kBool) {
            entry = ZDatumEntry::Bool(text.ToBool());
        } else if (type == kVec2 || type == kVec3 || type == kVec4) {
            float v[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            ReadFloats(text, v, 4);
            if (type == kVec2) {
                entry.type = kDatumVec2;
                entry.value.vec2 = ZVector2(v[0], v[1]);
            } else if (type == kVec3) {
                entry.type = kDatumVec3;
                entry.value.vec3 = ZVector3(v[0], v[1], v[2]);
            } else {
                entry.type = kDatumVec4;
                entry.value.vec4 = ZVector4(v[0], v[1], v[2], v[3]);
            }
        } else if (type == kString) {
            entry = ZDatumEntry::String(text);
        } else if (type == kHashedString) {
            entry = ZDatumEntry::HashedString(ZHashedString(text.GetText()));
        } else {
            // Quat, Handle, VoidPtr, Callback and unknown names carry no text value.
            continue;
        }
        UpdateDatum(name, entry);
    }
}

void ZDataComponent::Save(ZDefNode& element) const {
    static const ZHashedString kDatum("Datum");
    static const ZHashedString kName("Name");
    static const ZHashedString kType("Type");
    static const ZHashedString kValue("Value");
    for (const auto& node : m_values) {
        ZDefNode datum(kDatum);
        datum.SetAttribute(kName, ZString(node.key));
        const ZDatum& v = node.value.value;
        const char* type = nullptr;
        ZString value;
        bool hasValue = true;
        switch (node.value.type) {
            case kDatumInt: {
                char buffer[16];
                std::snprintf(buffer, sizeof buffer, "%d", v.intValue);
                type = "int";
                value = buffer;
                break;
            }
            case kDatumFloat: type = "float"; { char b[64]; std::snprintf(b, sizeof b, "%f", static_cast<double>(v.floatValue)); value = b; } break;
            case kDatumBool: type = "bool"; value = v.boolValue ? "true" : "false"; break;
            case kDatumVec2: {
                const float f[2] = {v.vec2.x, v.vec2.y};
                type = "vec2";
                value = Format("%f %f", f, 2);
                break;
            }
            case kDatumVec3: {
                const float f[3] = {v.vec3.x, v.vec3.y, v.vec3.z};
                type = "vec3";
                value = Format("%f %f %f", f, 3);
                break;
            }
            case kDatumVec4: {
                const float f[4] = {v.vec4.x, v.vec4.y, v.vec4.z, v.vec4.w};
                type = "vec4";
                value = Format("%f %f %f %f", f, 4);
                break;
            }
            case kDatumQuat: type = "quat"; hasValue = false; break;
            case kDatumString: type = "string"; value = v.string; break;
            case kDatumHashedString: type = "hashedstring"; value = ZString(v.hashedString); break;
            case kDatumHandle: type = "handle"; hasValue = false; break;
            case kDatumVoidPtr: type = "voidptr"; hasValue = false; break;
            case kDatumCallback: type = "callback"; hasValue = false; break;
            default: hasValue = false; break;
        }
        if (type != nullptr) {
            datum.SetAttribute(kType, ZString(type));
            if (hasValue) {
                datum.SetAttribute(kValue, value);
            }
        }
        element.AddChild(static_cast<ZDefNode&&>(datum));
    }
}

void ZDataComponent::AddDatum(const ZHashedString name) {
    if (!m_values.Contains(name)) {
        m_values.Insert(name, ZDatumEntry());
    }
}

bool ZDataComponent::ProviderLive() const {
    return m_providerHandle != 0 && FindObjectByHandle(m_providerHandle) != nullptr;
}

void ZDataComponent::NotifyChange(const ZHashedString name) const {
    if (m_changeCallback != nullptr) {
        m_changeCallback(GetOwner(), name);
    }
}

void ZDataComponent::SetProvider(const Provider& provider, const uint32_t providerHandle) {
    m_provider = provider;
    m_providerHandle = providerHandle;
}

bool ZDataComponent::HasDatum(const ZHashedString name) const {
    if (m_provider.has != nullptr && ProviderLive() && m_provider.has(m_providerHandle, name)) {
        return true;
    }
    return m_values.Contains(name);
}

bool ZDataComponent::GetDatum(const ZHashedString name, ZDatumEntry& entry) const {
    // The provider fills a copy: one that declines leaves the caller's entry as it was.
    ZDatumEntry answer(entry);
    if (m_provider.get != nullptr && ProviderLive() && m_provider.get(m_providerHandle, name, &answer)) {
        entry = answer;
        return true;
    }
    const auto* node = m_values.Find(name);
    if (node == nullptr) {
        return false;
    }
    entry = node->value;
    return true;
}

bool ZDataComponent::SetDatum(const ZHashedString name, const ZDatumEntry& entry) {
    AddDatum(name);
    return UpdateDatum(name, entry);
}

bool ZDataComponent::UpdateDatum(const ZHashedString name, const ZDatumEntry& entry) {
    ZDatumEntry given(entry);
    if (!(m_provider.update != nullptr && ProviderLive() && m_provider.update(m_providerHandle, name, &given))) {
        auto* node = m_values.Find(name);
        if (node == nullptr) {
            return false;
        }
        node->value = entry;
    }
    NotifyChange(name);
    return true;
}

bool ZDataComponent::AddToDatum(const ZHashedString name, const ZDatumEntry& entry) {
    ZDatumEntry given(entry);
    if (!(m_provider.add != nullptr && ProviderLive() && m_provider.add(m_providerHandle, name, &given))) {
        auto* node = m_values.Find(name);
        if (node == nullptr) {
            return false;
        }
        node->value = DatumAdd(node->value, entry);
    }
    NotifyChange(name);
    return true;
}

bool ZDataComponent::SubtractFromDatum(const ZHashedString name, const ZDatumEntry& entry) {
    ZDatumEntry given(entry);
    if (!(m_provider.subtract != nullptr && ProviderLive() &&
          m_provider.subtract(m_providerHandle, name, &given))) {
        auto* node = m_values.Find(name);
        if (node == nullptr) {
            return false;
        }
        node->value = DatumSubtract(node->value, entry);
    }
    NotifyChange(name);
    return true;
}

ZDataComponent* GetDataComponentByHandle(const uint32_t handle) {
    return ResolveComponent<ZDataComponent>(FindObjectByHandle(handle));
}

bool GetDatumByHandle(const uint32_t handle, const ZHashedString name, ZDatumEntry& entry) {
    ZDataComponent* data = GetDataComponentByHandle(handle);
    return data != nullptr && data->GetDatum(name, entry);
}

bool AddToDatumByHandle(const uint32_t handle, const ZHashedString name, const ZDatumEntry& entry) {
    ZDataComponent* data = GetDataComponentByHandle(handle);
    return data != nullptr && data->AddToDatum(name, entry);
}

bool SubtractFromDatumByHandle(const uint32_t handle, const ZHashedString name, const ZDatumEntry& entry) {
    ZDataComponent* data = GetDataComponentByHandle(handle);
    return data != nullptr && data->SubtractFromDatum(name, entry);
}

bool SetDatumByHandle(const uint32_t handle, const ZHashedString name, const ZDatumEntry& entry) {
    ZDataComponent* data = GetDataComponentByHandle(handle);
    if (data == nullptr) {
        return false;
    }
    return data->SetDatum(name, entry);
}

bool InitDatumByHandle(const uint32_t handle, const ZHashedString name, const ZDatumEntry& entry) {
    ZDataComponent* data = GetDataComponentByHandle(handle);
    if (data == nullptr) {
        return false;
    }
    if (data->HasDatum(name)) {
        return true;
    }
    data->AddDatum(name);
    return data->UpdateDatum(name, entry);
}

bool ClearDataByHandle(const uint32_t handle) {
    ZDataComponent* data = GetDataComponentByHandle(handle);
    if (data == nullptr) {
        return false;
    }
    data->ClearData();
    return true;
}
