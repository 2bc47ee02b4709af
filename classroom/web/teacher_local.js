// Said before the page is first drawn, so that nothing moves when it is:
// an address only this computer reaches, whose QR code opens nothing on a
// tablet. A classic script, run where it stands; the page's modules come
// after the first paint.
'use strict';

if (location.protocol === 'file:' || ['127.0.0.1', 'localhost', '[::1]'].includes(location.hostname)) {
    const local = document.getElementById('local');
    local.textContent = `このページは この パソコンの中だけの アドレス（${location.host || 'file:'}）で 開いています。`
        + 'この QR コードを タブレットで 読んでも 何も 開きません。先に このフォルダを 学校の ウェブサイトに おいてください。';
    local.hidden = false;
}
