# Writes the service worker into the page folder with the page's version: a digest of every file
# it keeps, so that any change to the page (its module included) makes a new worker.
# cmake -DPAGE=<page folder> -DTEMPLATE=<service_worker.js> -P stamp_service_worker.cmake
set(digests "")
foreach(file index.html page.css window.js batch.js batch_worker.js miralto.js miralto.wasm
        manifest.webmanifest icon.svg)
  file(SHA256 "${PAGE}/${file}" digest)
  string(APPEND digests "${file} ${digest}\n")
endforeach()
string(SHA256 PAGE_VERSION "${digests}")
string(SUBSTRING "${PAGE_VERSION}" 0 16 PAGE_VERSION)
configure_file("${TEMPLATE}" "${PAGE}/service_worker.js" @ONLY)
