// Said before the page is first drawn, so that nothing moves when it is:
// an address only this computer reaches, whose QR code opens nothing on a
// tablet. A classic script, run where it stands; the page's modules come
// after the first paint.
'use strict';

if (location.protocol === 'file:' || ['127.0.0.1', 'localhost', '[::1]'].includes(location.hostname)) {
    document.getElementById('local-host').textContent = location.host || 'file:';
    document.getElementById('local').hidden = false;
}
