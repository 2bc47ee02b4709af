// The link the teacher's form makes, for the parts of the page that work
// with it (the sheets, the class's cards): its value, and a 'change' event
// each time it is made anew. Empty while a row of the form holds it back.
class Link extends EventTarget {
    #value = '';

    get value() { return this.#value; }

    // Its query, "?" and all; empty without a link.
    get query() { return this.#value ? new URL(this.#value).search : ''; }

    set(value) {
        if (value === this.#value) return;
        this.#value = value;
        this.dispatchEvent(new Event('change'));
    }
}

export const link = new Link();
