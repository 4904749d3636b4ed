// Image files: BMP, PNG (libpng) and JPEG (libjpeg-turbo) into and out of bitmaps, and PNG
// snapshots of surfaces. Opaque formats load with alpha 0 (as drawing leaves it); PNG alpha is
// kept straight (not premultiplied). Malformed data gives null, never a crash.
#include <png.h>
#include <stdio.h>
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <fstream>
#include <iterator>

#include "gdi/GdiInternal.h"

using namespace gdi;

namespace {

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

HBITMAP LoadBmp(const uint8_t* data, size_t size) {
  if (size < 14 + 12) return nullptr;
  uint32_t offBits = Le32(data + 10);
  const uint8_t* hdr = data + 14;
  uint32_t hsize = Le32(hdr);
  if (hsize < 12 || 14 + size_t(hsize) > size) return nullptr;
  int64_t w, h;
  int bpp;
  uint32_t compression = 0, clrUsed = 0;
  size_t quadSize = 4;
  if (hsize == 12) {
    w = Le16(hdr + 4);
    h = int16_t(Le16(hdr + 6));
    bpp = Le16(hdr + 10);
    quadSize = 3;
  } else {
    if (hsize < 40) return nullptr;
    w = int32_t(Le32(hdr + 4));
    h = int32_t(Le32(hdr + 8));
    bpp = Le16(hdr + 14);
    compression = Le32(hdr + 16);
    clrUsed = Le32(hdr + 32);
  }
  bool topDown = h < 0;
  if (topDown) h = -h;
  if (w <= 0 || h <= 0 || w > 65535 || h > 65535) return nullptr;
  if (!(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32)) return nullptr;
  if (compression != 0 && !(compression == 3 && bpp == 32)) return nullptr;
  int ncolors = bpp <= 8 ? int(clrUsed ? std::min<uint32_t>(clrUsed, 256) : 1u << bpp) : 0;
  size_t tableAt = 14 + size_t(hsize) + (compression == 3 && hsize == 40 ? 12 : 0);
  if (tableAt + size_t(ncolors) * quadSize > size) return nullptr;
  BITMAPINFO info;
  info.bmiHeader.biWidth = LONG(w);
  info.bmiHeader.biHeight = topDown ? -LONG(h) : LONG(h);
  info.bmiHeader.biBitCount = WORD(bpp);
  info.bmiHeader.biClrUsed = DWORD(ncolors);
  for (int i = 0; i < ncolors; ++i) {
    const uint8_t* q = data + tableAt + size_t(i) * quadSize;
    info.bmiColors[i] = {q[0], q[1], q[2], 0};
  }
  size_t stride = size_t((w * bpp + 31) / 32) * 4;
  if (offBits > size || size - offBits < stride * size_t(h)) return nullptr;
  HBITMAP bm = CreateBitmap(int(w), int(h), 1, 32, nullptr);
  if (!bm) return nullptr;
  SetDIBits(nullptr, bm, 0, UINT(h), data + offBits, &info, DIB_RGB_COLORS);
  return bm;
}

// ---- PNG ----

struct PngReader {
  const uint8_t* data;
  size_t size, pos;
};

void PngRead(png_structp png, png_bytep out, png_size_t n) {
  auto* r = static_cast<PngReader*>(png_get_io_ptr(png));
  if (r->pos + n > r->size) png_error(png, "truncated");
  std::memcpy(out, r->data + r->pos, n);
  r->pos += n;
}

void PngError(png_structp png, png_const_charp) { longjmp(png_jmpbuf(png), 1); }
void PngWarning(png_structp, png_const_charp) {}

HBITMAP LoadPng(const uint8_t* data, size_t size) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  HBITMAP volatile bm = nullptr;
  PngReader reader{data, size, 0};
  std::vector<png_bytep> rows;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (bm) DeleteObject(bm);
    return nullptr;
  }
  png_set_read_fn(png, &reader, PngRead);
  png_read_info(png, info);
  png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  if (w == 0 || h == 0 || w > 65535 || h > 65535) png_error(png, "size");
  // The image data is deflated, which packs at most 1032 bytes into one: a size the file
  // cannot hold is refused before the bitmap is allocated.
  uint64_t bits = uint64_t(w) * h * png_get_bit_depth(png, info) * png_get_channels(png, info);
  if (bits / 8 > uint64_t(size) * 1032) png_error(png, "size");
  int type = png_get_color_type(png, info);
  bool hasAlpha = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  if (!(type & PNG_COLOR_MASK_ALPHA)) png_set_filler(png, hasAlpha ? 0xFF : 0, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != w * 4) png_error(png, "format");
  bm = CreateBitmap(int(w), int(h), 1, 32, nullptr);
  if (!bm) png_error(png, "memory");
  TSurface* s = GetBitmapSurface(bm);
  rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) rows[y] = reinterpret_cast<png_bytep>(s->Row(int(y)));
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return bm;
}

bool WritePng(const TSurface& s, const String& path, bool withAlpha) {
  if (s.Empty()) return false;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, png_uint_32(s.Width()), png_uint_32(s.Height()), 8,
               withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(size_t(s.Width()) * 4);
  for (int y = 0; y < s.Height(); ++y) {
    const uint32_t* p = s.Row(y);
    uint8_t* o = row.data();
    for (int x = 0; x < s.Width(); ++x) {
      *o++ = uint8_t(p[x] >> 16);
      *o++ = uint8_t(p[x] >> 8);
      *o++ = uint8_t(p[x]);
      if (withAlpha) *o++ = uint8_t(p[x] >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return fclose(f) == 0;
}

// ---- JPEG ----

struct JpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
  bool refuseMissingData = false;
};
void JpegExit(j_common_ptr c) { longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1); }
void JpegMessage(j_common_ptr) {}
// While the scans are decoded, data that ends early (the library would fill the rest with
// grey) makes the file corrupt.
void JpegEmit(j_common_ptr c, int level) {
  auto* e = reinterpret_cast<JpegError*>(c->err);
  if (level < 0 && e->refuseMissingData && (e->mgr.msg_code == JWRN_JPEG_EOF || e->mgr.msg_code == JWRN_HIT_MARKER))
    longjmp(e->jump, 1);
}

// Every 8x8 block of a Huffman-coded scan takes at least one bit; arithmetic coding may pack
// uniform blocks tighter, so it is given 16 blocks per bit. The component at full horizontal
// resolution has at least ceil(w / 8) * ceil(h / 32) blocks.
bool JpegSizeFits(const jpeg_decompress_struct& c, size_t size) {
  uint64_t blocks = (uint64_t(c.image_width) + 7) / 8 * ((uint64_t(c.image_height) + 31) / 32);
  uint64_t perBit = c.arith_code ? 16 : 1;
  return blocks <= uint64_t(size) * 8 * perBit;
}

HBITMAP LoadJpeg(const uint8_t* data, size_t size) {
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegExit;
  err.mgr.output_message = JpegMessage;
  err.mgr.emit_message = JpegEmit;
  HBITMAP volatile bm = nullptr;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    if (bm) DeleteObject(bm);
    return nullptr;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) longjmp(err.jump, 1);
  if (cinfo.image_width > 65535 || cinfo.image_height > 65535 || !JpegSizeFits(cinfo, size)) longjmp(err.jump, 1);
  cinfo.out_color_space = JCS_EXT_BGRX;
  err.refuseMissingData = true;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_width == 0 || cinfo.output_height == 0 || cinfo.output_width > 65535 ||
      cinfo.output_height > 65535 || cinfo.output_components != 4)
    longjmp(err.jump, 1);
  bm = CreateBitmap(int(cinfo.output_width), int(cinfo.output_height), 1, 32, nullptr);
  if (!bm) longjmp(err.jump, 1);
  TSurface* s = GetBitmapSurface(bm);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(s->Row(int(cinfo.output_scanline)));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  err.refuseMissingData = false;
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  for (int y = 0; y < s->Height(); ++y)
    for (int x = 0; x < s->Width(); ++x) s->At(x, y) &= 0xFFFFFF;
  return bm;
}

}  // namespace

HBITMAP LoadBitmapFromMemory(const void* p, size_t size) {
  if (!p || size < 4) return nullptr;
  const auto* d = static_cast<const uint8_t*>(p);
  if (d[0] == 'B' && d[1] == 'M') return LoadBmp(d, size);
  if (size >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return LoadPng(d, size);
  if (d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return LoadJpeg(d, size);
  return nullptr;
}

HBITMAP LoadBitmapFromFile(const String& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return LoadBitmapFromMemory(data.data(), data.size());
}

bool SaveSurfaceToPng(const TSurface& surface, const String& path, bool withAlpha) {
  return WritePng(surface, path, withAlpha);
}

bool SaveBitmapToPng(HBITMAP bitmap, const String& path, bool withAlpha) {
  TSurface* s = GetBitmapSurface(bitmap);
  return s && WritePng(*s, path, withAlpha);
}

bool SaveBitmapToBmp(HBITMAP bitmap, const String& path) {
  TSurface* s = GetBitmapSurface(bitmap);
  if (!s || s->Empty()) return false;
  int w = s->Width(), h = s->Height();
  std::vector<uint8_t> out(54 + size_t(w) * size_t(h) * 4, 0);
  auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) out[at + size_t(i)] = uint8_t(v >> (8 * i)); };
  auto put16 = [&](size_t at, uint16_t v) { out[at] = uint8_t(v); out[at + 1] = uint8_t(v >> 8); };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, uint32_t(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  put16(26, 1);
  put16(28, 32);
  put32(34, uint32_t(size_t(w) * size_t(h) * 4));
  for (int y = 0; y < h; ++y) std::memcpy(&out[54 + size_t(h - 1 - y) * size_t(w) * 4], s->Row(y), size_t(w) * 4);
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  return bool(f);
}

bool SaveBitmapToJpeg(HBITMAP bitmap, const String& path, int quality) {
  TSurface* s = GetBitmapSurface(bitmap);
  if (!s || s->Empty()) return false;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  jpeg_compress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegExit;
  err.mgr.output_message = JpegMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    fclose(f);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, f);
  cinfo.image_width = JDIMENSION(s->Width());
  cinfo.image_height = JDIMENSION(s->Height());
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(s->Row(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return fclose(f) == 0;
}
