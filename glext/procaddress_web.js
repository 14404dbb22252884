// Emscripten JS library of the web build (procaddress_web.cpp), written against
// the legacy GL emulation of Emscripten 3.1.6 (src/library_glemu.js). It relies
// on GLImmediate's glBegin/glEnd buffer (vertexData, vertexCounter, TEXTURE0,
// addRendererComponent), on the hooks of GLImmediate.TexEnvJIT, and on GLctx,
// the WebGL context. These are unchanged up to 3.1.69, the newest version it
// was tried with; an emulation without them fails here, loudly, at start-up.
mergeInto(LibraryManager.library, {
  $lightmapCheckEmulation__deps: ['$GLImmediate'],
  $lightmapCheckEmulation: function() {
    var texEnv = GLImmediate.TexEnvJIT;
    var hooks = ['hook_texEnvf', 'hook_texEnvi', 'hook_enable', 'hook_disable', 'getActiveTexture'];
    if (!texEnv || !hooks.every(function(name) { return typeof texEnv[name] == 'function'; }) ||
        typeof GLImmediate.addRendererComponent != 'function' ||
        typeof GLImmediate.TEXTURE0 != 'number' || !GLctx) {
      throw new Error('procaddress_web.js: this GL emulation is not the one it was written for');
    }
  },

  // Run once, with the context current and before any texture is made.
  lightmapMendGlEmulation__deps: ['$GLImmediate', '$lightmapCheckEmulation', 'glActiveTexture',
                                  'glGetTexEnviv', 'malloc', 'free'],
  lightmapMendGlEmulation: function() {
    lightmapCheckEmulation();
    var texEnv = GLImmediate.TexEnvJIT;
    var GL_TEXTURE_ENV_MODE = 0x2200, GL_TEXTURE_2D = 0x0DE1;

    // glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode) is dropped with a
    // warning: only glTexEnvi takes the mode. Hand it to glTexEnvi's hook.
    var texEnvf = texEnv.hook_texEnvf;
    texEnv.hook_texEnvf = function(target, pname, param) {
      if (pname == GL_TEXTURE_ENV_MODE) {
        texEnv.hook_texEnvi(target, pname, param);
      } else {
        texEnvf(target, pname, param);
      }
    };

    // Desktop GL treats a unit whose texture has no image as if texturing were
    // off there; WebGL samples such a texture as black. So a unit's 2D texturing
    // reaches the emulation only while it is enabled and its bound texture has
    // had a level 0 image (the one thing that leaves this program's textures
    // incomplete: a missing file). Checked on enable, disable, bind and upload.
    var enable = texEnv.hook_enable, disable = texEnv.hook_disable;
    var requested = [];
    function update() {
      var texture = GLctx.getParameter(GLctx.TEXTURE_BINDING_2D);
      var on = requested[texEnv.getActiveTexture()] && texture && texture.lightmapHasImage;
      (on ? enable : disable)(GL_TEXTURE_2D);
    }
    texEnv.hook_enable = function(cap) {
      if (cap != GL_TEXTURE_2D) return enable(cap);
      requested[texEnv.getActiveTexture()] = true;
      update();
    };
    texEnv.hook_disable = function(cap) {
      if (cap != GL_TEXTURE_2D) return disable(cap);
      requested[texEnv.getActiveTexture()] = false;
      update();
    };
    // What the first mend is for, readable on the instance: each unit's texture
    // environment mode as glGetTexEnviv gives it, the active unit left as it was.
    Module['textureEnvModes'] = function() {
      var active = texEnv.getActiveTexture(), modes = [], mode = _malloc(4);
      for (var unit = 0; unit < 2; ++unit) {
        _glActiveTexture(0x84C0 /* GL_TEXTURE0 */ + unit);
        _glGetTexEnviv(0x2300 /* GL_TEXTURE_ENV */, GL_TEXTURE_ENV_MODE, mode);
        modes.push(HEAP32[mode >> 2]);
      }
      _glActiveTexture(0x84C0 + active);
      _free(mode);
      return modes;
    };

    var bindTexture = GLctx.bindTexture, texImage2D = GLctx.texImage2D;
    GLctx.bindTexture = function(target, texture) {
      bindTexture.call(GLctx, target, texture);
      if (target == GL_TEXTURE_2D) update();
    };
    GLctx.texImage2D = function(target, level) {
      texImage2D.apply(GLctx, arguments);
      var texture = GLctx.getParameter(GLctx.TEXTURE_BINDING_2D);
      if (target == GL_TEXTURE_2D && level == 0 && texture) {
        texture.lightmapHasImage = true;
        update();
      }
    };
  },

  // The emulation's glActiveTexture, under the name the program looks up.
  lightmap_glActiveTextureARB__deps: ['glActiveTexture'],
  lightmap_glActiveTextureARB: function(texture) {
    _glActiveTexture(texture);
  },

  // glMultiTexCoord2f between glBegin and glEnd: what the emulation's own
  // glTexCoord2f does for unit 0, for the unit given.
  lightmap_glMultiTexCoord2fARB__deps: ['$GLImmediate'],
  lightmap_glMultiTexCoord2fARB: function(target, s, t) {
    GLImmediate.vertexData[GLImmediate.vertexCounter++] = s;
    GLImmediate.vertexData[GLImmediate.vertexCounter++] = t;
    GLImmediate.addRendererComponent(GLImmediate.TEXTURE0 + (target - 0x84C0 /* GL_TEXTURE0 */),
                                     2, GLctx.FLOAT);
  },
});
