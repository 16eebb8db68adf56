// DirectX .x text files (no library): the header, templates (skipped), frames with their
// matrices, meshes with normals, material lists, texture coordinates and vertex colours, and
// references to materials by name. Unknown objects are skipped whole; broken text is refused.
#include "xfile_reader.h"
#include "xfile_tokens.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

float UnitChannel(float v)
{
    if (!(v > 0.0f))
        return 0.0f;
    return v < 1.0f ? v : 1.0f;
}

// Normals follow a matrix by its inverse transpose; the cofactors are that up to a scale, which
// the final normalising removes (the sign of the determinant is kept so they stay outward).
Mat4 NormalMatrix(const Mat4& a)
{
    const auto& m = a.m;
    Mat4 c;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) {
            const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            c.m[i][j] = m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1];
        }
    const float det = m[0][0] * c.m[0][0] + m[0][1] * c.m[0][1] + m[0][2] * c.m[0][2];
    if (det < 0)
        for (int i = 0; i < 3; i++)
            for (int j = 0; j < 3; j++)
                c.m[i][j] = -c.m[i][j];
    return c;
}

struct Reader {
    XTokens tokens;
    XModel* model = nullptr;
    std::string why;
    int depth = 0;
    bool allHaveNormals = true;
    std::vector<XMaterial> namedMaterials; // materials outside any mesh, for references

    bool Fail(const char* what)
    {
        if (why.empty())
            why = "line " + std::to_string(tokens.line) + ": " + what;
        return false;
    }
    // Fails on the token under the cursor: broken text, the end of the file, or not `expected`.
    bool FailAt(const char* expected)
    {
        if (tokens.Peek() == XToken::Bad)
            return Fail(tokens.bad);
        return Fail(tokens.kind == XToken::End ? "the file ends too early" : expected);
    }

    bool Word(std::string_view* out, const char* expected)
    {
        if (tokens.Peek() != XToken::Word)
            return FailAt(expected);
        *out = tokens.value;
        tokens.Take();
        return true;
    }
    bool Count(uint32_t limit, uint32_t* out)
    {
        std::string_view word;
        if (!Word(&word, "a count expected"))
            return false;
        if (!ParseCount(word, out))
            return Fail("a count expected");
        return *out <= limit || Fail("a count over the limit");
    }
    bool Index(uint32_t count, uint32_t* out)
    {
        std::string_view word;
        if (!Word(&word, "an index expected"))
            return false;
        if (!ParseCount(word, out))
            return Fail("an index expected");
        return *out < count || Fail("an index out of range");
    }
    bool Floats(float* out, int n)
    {
        for (int i = 0; i < n; i++) {
            std::string_view word;
            if (!Word(&word, "a number expected"))
                return false;
            if (!ParseFloat(word, &out[i]))
                return Fail("a number expected (finite, in C notation)");
        }
        return true;
    }
    // Room for `count` items of at least `bytes` characters each in what is left of the file:
    // what a count may reserve before its items are read.
    size_t Room(uint32_t count, size_t bytes) const
    {
        return std::min<size_t>(count, (tokens.text.size() - tokens.at) / bytes + 1);
    }

    // After an object's type: its optional name, the opening brace and an optional class id.
    bool Open(std::string_view* name)
    {
        *name = {};
        if (tokens.Peek() == XToken::Word) {
            *name = tokens.value;
            tokens.Take();
        }
        if (tokens.Peek() != XToken::Open)
            return FailAt("'{' expected");
        tokens.Take();
        if (++depth > X_MAX_DEPTH)
            return Fail("nested too deeply");
        if (tokens.Peek() == XToken::Word && tokens.value[0] == '<')
            tokens.Take();
        return true;
    }
    bool Close()
    {
        if (tokens.Peek() != XToken::Close)
            return FailAt("'}' expected");
        tokens.Take();
        depth--;
        return true;
    }
    // The rest of an object whose opening brace has been read, whatever it holds.
    bool Skip()
    {
        for (int open = 1; open > 0;) {
            switch (tokens.Peek()) {
            case XToken::Open:
                if (++depth > X_MAX_DEPTH)
                    return Fail("nested too deeply");
                open++;
                break;
            case XToken::Close:
                depth--;
                open--;
                break;
            case XToken::Word:
            case XToken::String: break;
            case XToken::End:
            case XToken::Bad: return FailAt("");
            }
            tokens.Take();
        }
        return true;
    }
    // "{ Name }", "{ <class id> }" or "{ Name <class id> }", the opening brace next.
    bool Reference(std::string_view* name)
    {
        tokens.Take();
        if (++depth > X_MAX_DEPTH)
            return Fail("nested too deeply");
        *name = {};
        if (tokens.Peek() == XToken::Word && tokens.value[0] != '<') {
            *name = tokens.value;
            tokens.Take();
        }
        if (tokens.Peek() == XToken::Word && tokens.value[0] == '<')
            tokens.Take();
        return Close();
    }
    // The children of an object that this reader does not look into, up to its closing brace.
    bool SkipChildren()
    {
        for (;;) {
            std::string_view name;
            switch (tokens.Peek()) {
            case XToken::Close: return Close();
            case XToken::Open:
                if (!Reference(&name))
                    return false;
                break;
            case XToken::Word:
                tokens.Take();
                if (!Open(&name) || !Skip())
                    return false;
                break;
            default: return FailAt("an object or '}' expected");
            }
        }
    }

    bool ReadMaterial(XMaterial* material)
    {
        std::string_view name;
        if (!Open(&name))
            return false;
        material->name = std::string(name);
        float rgba[4], power, specular[3], emissive[3];
        if (!Floats(rgba, 4) || !Floats(&power, 1) || !Floats(specular, 3) || !Floats(emissive, 3))
            return false;
        for (int k = 0; k < 3; k++) {
            material->colour[k] = UnitChannel(rgba[k]);
            material->emissive[k] = UnitChannel(emissive[k]);
        }
        // The texture is the one the program sets on the mesh; a file name here is only checked.
        for (;;) {
            if (tokens.Peek() != XToken::Word || tokens.value != "TextureFilename")
                return SkipChildren();
            tokens.Take();
            if (!Open(&name))
                return false;
            if (tokens.Peek() != XToken::String)
                return FailAt("a file name expected");
            tokens.Take();
            if (!SkipChildren())
                return false;
        }
    }

    bool ReadMaterialList(XMesh* mesh)
    {
        std::string_view name;
        uint32_t declared = 0, count = 0;
        if (!Open(&name) || !Count(X_MAX_MATERIALS, &declared) || !Count(X_MAX_FACES, &count))
            return false;
        const uint32_t faces = static_cast<uint32_t>(mesh->firstCorner.size() - 1);
        if (count != faces && count != 1)
            return Fail("material indices for a different number of faces");
        mesh->faceMaterials.reserve(Room(count, 2));
        for (uint32_t f = 0; f < count; f++) {
            uint32_t index;
            if (!Index(X_MAX_MATERIALS, &index))
                return false;
            mesh->faceMaterials.push_back(index);
        }
        mesh->materials.clear();
        for (;;) {
            if (mesh->materials.size() > X_MAX_MATERIALS)
                return Fail("too many materials");
            XToken next = tokens.Peek();
            if (next == XToken::Word && tokens.value == "Material") {
                tokens.Take();
                mesh->materials.emplace_back();
                if (!ReadMaterial(&mesh->materials.back()))
                    return false;
            } else if (next == XToken::Open) {
                if (!Reference(&name))
                    return false;
                auto found = std::find_if(namedMaterials.begin(), namedMaterials.end(),
                                          [&](const XMaterial& m) { return m.name == name; });
                if (found == namedMaterials.end())
                    return Fail("a reference to an unknown material");
                mesh->materials.push_back(*found);
            } else {
                if (!SkipChildren())
                    return false;
                break;
            }
        }
        for (uint32_t index : mesh->faceMaterials)
            if (index >= mesh->materials.size())
                return Fail("a material index out of range");
        return true;
    }

    bool ReadNormals(XMesh* mesh)
    {
        std::string_view name;
        uint32_t count = 0, faces = 0;
        if (!Open(&name) || !Count(X_MAX_VERTICES, &count))
            return false;
        mesh->normals.reserve(Room(count, 6));
        for (uint32_t i = 0; i < count; i++) {
            Vec3 n;
            if (!Floats(&n.x, 1) || !Floats(&n.y, 1) || !Floats(&n.z, 1))
                return false;
            mesh->normals.push_back(n);
        }
        if (!Count(X_MAX_FACES, &faces))
            return false;
        if (faces + 1 != mesh->firstCorner.size())
            return Fail("normals for a different number of faces");
        mesh->normalCorners.resize(mesh->corners.size()); // no more than the faces already read
        for (uint32_t f = 0; f < faces; f++) {
            uint32_t corners = 0;
            if (!Count(X_MAX_FACE_INDICES, &corners))
                return false;
            if (corners != mesh->firstCorner[f + 1] - mesh->firstCorner[f])
                return Fail("a face's normals do not match its corners");
            for (uint32_t c = mesh->firstCorner[f]; c < mesh->firstCorner[f + 1]; c++)
                if (!Index(count, &mesh->normalCorners[c]))
                    return false;
        }
        return SkipChildren();
    }

    bool ReadTextureCoords(XMesh* mesh)
    {
        std::string_view name;
        uint32_t count = 0;
        if (!Open(&name) || !Count(X_MAX_VERTICES, &count))
            return false;
        if (count != mesh->positions.size())
            return Fail("texture coordinates for a different number of vertices");
        mesh->us.resize(count); // no more than the vertices already read
        mesh->vs.resize(count);
        for (uint32_t i = 0; i < count; i++)
            if (!Floats(&mesh->us[i], 1) || !Floats(&mesh->vs[i], 1))
                return false;
        return SkipChildren();
    }

    // Vertex colours are checked and read past: the renderer colours faces by their material.
    bool ReadVertexColours(const XMesh& mesh)
    {
        std::string_view name;
        uint32_t count = 0;
        if (!Open(&name) || !Count(X_MAX_VERTICES, &count))
            return false;
        for (uint32_t i = 0; i < count; i++) {
            uint32_t vertex;
            float rgba[4];
            if (!Index(static_cast<uint32_t>(mesh.positions.size()), &vertex) || !Floats(rgba, 4))
                return false;
        }
        return SkipChildren();
    }

    bool ReadMesh()
    {
        std::string_view name;
        uint32_t vertices = 0, faces = 0;
        XMesh mesh;
        if (!Open(&name) || !Count(X_MAX_VERTICES, &vertices))
            return false;
        mesh.positions.reserve(Room(vertices, 6));
        for (uint32_t i = 0; i < vertices; i++) {
            Vec3 p;
            if (!Floats(&p.x, 1) || !Floats(&p.y, 1) || !Floats(&p.z, 1))
                return false;
            mesh.positions.push_back(p);
        }
        if (!Count(X_MAX_FACES, &faces))
            return false;
        mesh.firstCorner.reserve(Room(faces, 4) + 1);
        mesh.firstCorner.push_back(0);
        for (uint32_t f = 0; f < faces; f++) {
            uint32_t corners = 0;
            if (!Count(X_MAX_FACE_INDICES, &corners))
                return false;
            for (uint32_t c = 0; c < corners; c++) {
                uint32_t index;
                if (!Index(vertices, &index))
                    return false;
                mesh.corners.push_back(index);
            }
            mesh.firstCorner.push_back(static_cast<uint32_t>(mesh.corners.size()));
        }
        for (;;) {
            bool ok = true;
            if (tokens.Peek() == XToken::Word && tokens.value == "MeshNormals") {
                tokens.Take();
                ok = ReadNormals(&mesh);
            } else if (tokens.Peek() == XToken::Word && tokens.value == "MeshMaterialList") {
                tokens.Take();
                ok = ReadMaterialList(&mesh);
            } else if (tokens.Peek() == XToken::Word && tokens.value == "MeshTextureCoords") {
                tokens.Take();
                ok = ReadTextureCoords(&mesh);
            } else if (tokens.Peek() == XToken::Word && tokens.value == "MeshVertexColors") {
                tokens.Take();
                ok = ReadVertexColours(mesh);
            } else {
                if (!SkipChildren())
                    return false;
                break;
            }
            if (!ok)
                return false;
        }
        return Place(mesh);
    }

    bool Place(const XMesh& mesh)
    {
        allHaveNormals = allHaveNormals && (!mesh.normalCorners.empty() || mesh.corners.empty());
        const char* refused = PlaceXMesh(mesh, model);
        return !refused || Fail(refused);
    }

    bool ReadMatrix(Mat4* local)
    {
        std::string_view name;
        float m[16];
        if (!Open(&name) || !Floats(m, 16))
            return false;
        for (int i = 0; i < 16; i++)
            local->m[i / 4][i % 4] = m[i];
        return SkipChildren();
    }

    // A frame's meshes, its child frames' included, are placed by its matrix once it closes:
    // p * child * ... * frame * parent, whatever order the file gives the matrix and meshes in.
    bool ReadFrame()
    {
        std::string_view name;
        if (!Open(&name))
            return false;
        const size_t first = model->positions.size();
        Mat4 local;
        if (!ReadObjects(true, &local))
            return false;
        const Mat4 normalMatrix = NormalMatrix(local);
        for (size_t i = first; i < model->positions.size(); i++) {
            model->positions[i] = TransformPoint(model->positions[i], local);
            model->normals[i] = TransformDirection(model->normals[i], normalMatrix);
        }
        return true;
    }

    // The objects of the file, or of a frame up to its closing brace.
    bool ReadObjects(bool inFrame, Mat4* local)
    {
        for (;;) {
            std::string_view name;
            XToken next = tokens.Peek();
            if (next == XToken::End && !inFrame)
                return true;
            if (next == XToken::Close && inFrame)
                return Close();
            if (next == XToken::Open) {
                if (!Reference(&name)) // a mesh or frame named again: nothing more to place
                    return false;
                continue;
            }
            if (next != XToken::Word)
                return FailAt("an object expected");
            const std::string_view type = tokens.value;
            tokens.Take();
            bool ok;
            if (type == "Frame") {
                ok = ReadFrame();
            } else if (type == "Mesh") {
                ok = ReadMesh();
            } else if (type == "Material") {
                namedMaterials.emplace_back();
                ok = ReadMaterial(&namedMaterials.back()) &&
                    (namedMaterials.size() <= X_MAX_MATERIALS || Fail("too many materials"));
            } else if (type == "FrameTransformMatrix" && inFrame) {
                ok = ReadMatrix(local);
            } else { // templates, headers, animations and anything else the game does not use
                ok = Open(&name) && Skip();
            }
            if (!ok)
                return false;
        }
    }
};

} // namespace

bool ReadXText(std::string_view text, XModel* model, std::string* why)
{
    *model = XModel();
    if (text.size() < 16 || text.substr(0, 4) != "xof ") {
        *why = "not a .x file";
        return false;
    }
    const std::string_view version = text.substr(4, 4), format = text.substr(8, 4), floats = text.substr(12, 4);
    if (format == "bin ") {
        *why = "a binary .x file; only text files are read";
        return false;
    }
    if (format == "tzip" || format == "bzip") {
        *why = "a compressed .x file; only text files are read";
        return false;
    }
    if (format != "txt " || (version != "0302" && version != "0303") || (floats != "0032" && floats != "0064")) {
        *why = "a .x header of an unknown version or format";
        return false;
    }
    Reader reader;
    reader.tokens.text = text.substr(16);
    reader.model = model;
    Mat4 none;
    bool ok = reader.ReadObjects(false, &none);
    if (ok && model->faces.empty())
        ok = reader.Fail("no faces");
    for (size_t i = 0; ok && i < model->positions.size(); i++) {
        if (!IsFinite(model->positions[i]))
            ok = reader.Fail("a vertex placed out of range");
        else if (!Normalise(model->normals[i], &model->normals[i]))
            model->normals[i] = Vec3{};
    }
    if (!ok) {
        *why = reader.why;
        *model = XModel();
        return false;
    }
    if (!reader.allHaveNormals)
        model->normals.clear();
    return true;
}

bool ReadXFile(const std::string& path, XModel* model, std::string* why)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *why = "cannot be opened";
        return false;
    }
    std::string text;
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 && text.size() <= X_MAX_FILE_BYTES)
        text.append(block, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        *why = "cannot be read";
        return false;
    }
    if (text.size() > X_MAX_FILE_BYTES) {
        *why = "larger than a model may be";
        return false;
    }
    return ReadXText(text, model, why);
}
