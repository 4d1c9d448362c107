#pragma once

#include "app/config.h"
#include "effects/shadow_mapping.h"
#include "effects/toon_shading.h"
#include "shader/shader.h"
#include "support/gl_context.h"

#include <memory>

// The programs and effects the hand and the cakes are built with, as start-up
// makes them.
class HeldObjects : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        config = std::make_unique<frosk::Config>("config.conf");
        toon = std::make_unique<frosk::Shader>("Shader/toon_texture_shader.vert", "Shader/toon_texture_shader.frag");
        cover = std::make_unique<frosk::Shader>("Shader/bloom.vert", "Shader/bloomcover.frag");
        silhouette = std::make_unique<frosk::Shader>("Shader/toon_silhouette.vert", "Shader/toon_silhouette.frag");
        depth = std::make_unique<frosk::Shader>("Shader/sm_shader_pass1.vert", "Shader/sm_shader_pass1.frag");
        shadowMapping = std::make_unique<frosk::effects::ShadowMapping>(depth.get(), config->width, config->height);
        toonShading = std::make_unique<frosk::effects::ToonShading>(silhouette.get(), config->width, config->height);
    }
    void TearDown() override
    {
        toonShading.reset();
        shadowMapping.reset();
        depth.reset();
        silhouette.reset();
        cover.reset();
        toon.reset();
        GlTest::TearDown();
    }

    std::unique_ptr<frosk::Config> config;
    std::unique_ptr<frosk::Shader> toon;
    std::unique_ptr<frosk::Shader> cover;
    std::unique_ptr<frosk::Shader> silhouette;
    std::unique_ptr<frosk::Shader> depth;
    std::unique_ptr<frosk::effects::ShadowMapping> shadowMapping;
    std::unique_ptr<frosk::effects::ToonShading> toonShading;
};
