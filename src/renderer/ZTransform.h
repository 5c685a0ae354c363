#pragma once

class ZParameterSource;

// Links between parameter sources: a source hands the parameters it does not
// know to its parent. The links form chains, never loops.
class ZTransform {
public:
    static constexpr int kMaxChain = 10;

    // Makes parent the child's attached source (null detaches) unless the
    // parent's chain leads back to the child or is kMaxChain or more links
    // long; then nothing changes and the answer is false.
    static bool SetParent(ZParameterSource* child, ZParameterSource* parent);
};
